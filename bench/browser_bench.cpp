// A pass over 100 local fixture pages in headless Chromium: the browser's own navigate-to-load
// time per page against check_page's per-page time, the browser's start and quit, and the
// plug-in's own memory (the browser's processes not counted).
#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <string>

#include "checking/browser_sink.h"
#include "checking/check_page.h"
#include "platform/posix/chromium/devtools_pipe.h"
#include "platform/seams.h"
#include "plugin/plugin_state.h"
#include "support/fixture_server.h"
#include "support/temp_host.h"

namespace {

using namespace pirowend;
using chromium::DevToolsPipe;
using chromium::Json;

constexpr int kPages = 100;

testing::FixtureServer& server() {
  static testing::FixtureServer instance;
  static bool routed = false;
  if (!routed) {
    for (int n = 0; n < kPages; ++n) {
      std::string body =
          "<!doctype html><title>p</title><body><h1>Page " + std::to_string(n) + "</h1>";
      for (int p = 0; p < 40; ++p)
        body += "<p>Paragraph " + std::to_string(p) + " of a fixture page with some text.</p>";
      instance.route("/p" + std::to_string(n), {body + "</body>"});
    }
    routed = true;
  }
  return instance;
}

// Kilobytes of resident memory of this process: now and at its peak.
double memory_kb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with(field)) return std::stod(line.substr(std::string(field).size()));
  }
  return 0;
}

void BM_BrowserStartAndQuit(benchmark::State& state) {
  for (auto _ : state) {
    std::unique_ptr<automation::WebBrowser> browser;
    if (automation::failed(automation::create_platform_browser(browser))) {
      state.SkipWithError("no browser");
      return;
    }
    browser->quit();
  }
}
BENCHMARK(BM_BrowserStartAndQuit)->Unit(benchmark::kMillisecond)->Iterations(5);

// The browser alone: Page.navigate, then the load event, on the same pages.
void BM_BrowserNavigateToLoad(benchmark::State& state) {
  std::unique_ptr<DevToolsPipe> pipe;
  if (DevToolsPipe::launch(chromium::find_chromium(), pipe) !=
      DevToolsPipe::LaunchResult::started) {
    state.SkipWithError("no browser");
    return;
  }
  auto targets = pipe->reply(pipe->send("Target.getTargets"), 10000);
  std::string target;
  for (const auto& info : (*targets)["result"]["targetInfos"]) {
    if (info["type"] == "page") target = info["targetId"];
  }
  auto attached = pipe->reply(
      pipe->send("Target.attachToTarget", {{"targetId", target}, {"flatten", true}}), 10000);
  const std::string session = (*attached)["result"]["sessionId"];
  pipe->reply(pipe->send("Page.enable", Json::object(), session), 10000);
  int n = 0;
  for (auto _ : state) {
    pipe->events().clear();
    pipe->send("Page.navigate", {{"url", server().url("/p" + std::to_string(n++ % kPages))}},
               session);
    bool loaded = false;
    while (!loaded && pipe->alive()) {
      pipe->pump(100);
      for (const auto& event : pipe->events())
        loaded |= event.value("method", "") == "Page.loadEventFired";
      pipe->events().clear();
    }
  }
  pipe->close();
}
BENCHMARK(BM_BrowserNavigateToLoad)->Unit(benchmark::kMillisecond)->Iterations(kPages);

// check_page over the same pages: navigation, the page wait, the text and the comparison.
// Argument 0: the first pass, which stores every snapshot; 1: a later pass, which finds them
// unchanged (the usual case).
void BM_CheckPage(benchmark::State& state) {
  testing::TempHost host;
  plugin_state().running = true;
  CIEComCtrlSink sink;
  if (!sink.create_browser()) {
    state.SkipWithError("no browser");
    return;
  }
  auto url = [](int n) { return server().url("/p" + std::to_string(n % kPages)); };
  if (state.range(0) == 1) {
    for (int n = 0; n < kPages; ++n) check_page(url(n).c_str(), sink.get_browser());
  }
  int n = 0;
  for (auto _ : state) benchmark::DoNotOptimize(check_page(url(n++).c_str(), sink.get_browser()));
  state.counters["rss_kb"] = memory_kb("VmRSS:");
  state.counters["peak_rss_kb"] = memory_kb("VmHWM:");
  sink.disconnect_events();
  sink.get_browser()->quit();
}
BENCHMARK(BM_CheckPage)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(kPages);

}  // namespace

BENCHMARK_MAIN();
