#include "checking/check_cycle.h"

#include "checking/browser_sink.h"
#include "checking/check_page.h"
#include "platform/apartment.h"
#include "platform/seams.h"
#include "plugin/plugin_state.h"
#include "settings/settings_file.h"

namespace pirowend {
namespace {

struct WorkerState {
  std::int32_t last_result =
      0;  // kept across passes: a change on the last line holds the next pass
  // The wait of the latest pass that had a browser. A pass without a browser waits as long
  // again, and before any such pass one minute, so that a missing browser is not retried
  // without pause.
  std::int64_t wait_ms = kDefaultWaitMs;
};

// Sleeps ms on the worker's clock, looking at `running` every millisecond; false when it
// cleared.
bool pause_while_running(std::uint32_t ms) {
  PluginState& state = plugin_state();
  platform::Clock& clock = platform::clock();
  const std::uint64_t end = clock.now_ms() + ms;
  while (clock.now_ms() < end) {
    if (!state.running) return false;
    clock.sleep_ms(1);
  }
  return state.running;
}

void run_pass(WorkerState& worker) {
  PluginState& state = plugin_state();
  platform::Clock& clock = platform::clock();
  CIEComCtrlSink sink;
  sink.create_browser();
  automation::WebBrowser* browser = sink.get_browser();
  if (!browser) return;
  browser->set_visible(false);
  worker.wait_ms = wait_for_interval(read_interval_minutes());
  const PageList pages = read_page_list();
  for (std::string_view line : pages.lines()) {
    if (!state.running) break;
    while (state.page_changed.load(std::memory_order_acquire) && state.running &&
           worker.last_result == kPageChanged) {
      clock.sleep_ms(1);
    }
    const char* text = line.data();  // each line of the block ends in a NUL
    worker.last_result = check_page(text, browser);
    if (worker.last_result == kPageGaveNoText && pause_while_running(kRetryPauseMs)) {
      worker.last_result = check_page(text, browser);
    }
    clock.sleep_ms(1);
  }
  sink.disconnect_events();
  browser->quit();
}

// The wait between passes, measured on the monotonic clock; false when `running` cleared.
bool wait_between_passes(const WorkerState& worker) {
  PluginState& state = plugin_state();
  platform::Clock& clock = platform::clock();
  state.check_now = false;
  const std::uint64_t start = clock.now_ms();
  while (static_cast<std::int64_t>(clock.now_ms() - start) < worker.wait_ms) {
    if (!state.running) return false;
    if (state.check_now) break;
    clock.sleep_ms(1);
  }
  return true;
}

}  // namespace

std::int64_t wait_for_interval(std::int32_t minutes) {
  std::int64_t wait = static_cast<std::int64_t>(minutes) * 60000;
  return wait == 0 ? kDefaultWaitMs : wait;
}

std::uint32_t worker_main(void*) {
  platform::ApartmentScope apartment;
  PluginState& state = plugin_state();
  WorkerState worker;
  while (state.running) {
    run_pass(worker);
    if (!wait_between_passes(worker)) break;
  }
  return 0;
}

}  // namespace pirowend
