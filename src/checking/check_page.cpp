#include "checking/check_page.h"

#include <optional>
#include <string>

#include "checking/change_detection.h"
#include "platform/seams.h"
#include "platform/text.h"
#include "plugin/plugin_state.h"

namespace pirowend {
namespace {

// Polls until the browser is idle and the top-level document has completed. Gives up when the
// limit passes or the plug-in shuts down; then the page is stopped and, if that completes it,
// what has loaded counts.
bool wait_for_document(automation::WebBrowser& browser) {
  PluginState& state = plugin_state();
  platform::Clock& clock = platform::clock();
  const std::uint64_t deadline = clock.now_ms() + kPageWaitLimitMs;
  bool busy = false;
  browser.busy(busy);
  while (busy || !state.document_complete) {
    if (!state.running || clock.now_ms() >= deadline) {
      browser.stop();
      browser.busy(busy);
      return state.document_complete && state.running;
    }
    clock.sleep_ms(kPagePollMs);
    browser.busy(busy);
  }
  return true;
}

// The body text of the loaded document: nullopt for "nothing to compare", a null inner
// optional for a null text.
std::optional<std::optional<std::u16string>> body_text(automation::WebBrowser& browser) {
  auto document = browser.html_document();
  if (!document) return std::nullopt;
  auto body = document->body();
  if (!body) return std::nullopt;
  std::optional<std::u16string> text;
  body->outer_text(text);
  return text;
}

}  // namespace

int check_page(const char* line, automation::WebBrowser* browser) {
  int result = kPageUnchanged;
  // The whole line is converted: a long line is never navigated cut short.
  const std::u16string url = platform::to_utf16(line);
  plugin_state().document_complete = false;
  if (browser->navigate(url) != automation::kOk) {
    result = kPageGaveNoText;
  } else if (!wait_for_document(*browser)) {
    result = kPageGaveNoText;
  } else if (auto text = body_text(*browser)) {
    if (!*text) {
      result = kPageGaveNoText;
    } else {
      std::u16string_view wide(**text);
      wide = wide.substr(0, wide.find(u'\0'));
      const std::string converted = platform::from_utf16(wide);
      if (!wide.empty() && !converted.empty() && compare_with_snapshot(line, converted.c_str())) {
        record_changed_page(line);
        result = kPageChanged;
      }
    }
  }
  browser->stop();
  return result;
}

}  // namespace pirowend
