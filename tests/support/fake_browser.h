#pragma once
// A scripted browser engine for the tests: pages are described by what they do, events arrive
// inside busy() as the real engines deliver them, and every call is logged with the time.
#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/browser_automation.h"
#include "platform/clock.h"

namespace pirowend::testing {

struct FakePage {
  automation::Status navigate_status = automation::kOk;
  int busy_polls = 1;           // polls that still report busy
  bool frames = false;          // a frame reports its document complete first
  bool popup = false;           // the page asks for a new window while it loads
  bool completes = true;        // false: the top-level document never completes by itself
  bool stop_completes = false;  // with completes false: stopping the page completes it
  enum class Document { html, none, not_html } document = Document::html;
  bool body = true;
  std::optional<std::u16string> text = u"page text";
};

class FakeEngine {
 public:
  explicit FakeEngine(platform::Clock& clock) : clock_(clock) {}

  // The factory to put into the seams.
  automation::BrowserFactory factory();

  FakePage& page(const std::string& url) { return pages_[url]; }
  void log(const std::string& entry);
  // Times of the log entries that start with prefix.
  std::vector<std::uint64_t> times_of(const std::string& prefix) const;
  std::vector<std::string> entries() const;

  automation::Status create_status = automation::kOk;
  automation::Status advise_status = automation::kOk;
  std::atomic<int> live_browsers{0};
  std::atomic<int> browsers_created{0};
  std::atomic<int> create_attempts{0};
  std::vector<automation::VariantBool> popup_answers;

 private:
  friend class FakeBrowser;
  platform::Clock& clock_;
  std::map<std::string, FakePage> pages_;
  std::vector<std::pair<std::uint64_t, std::string>> log_;
};

}  // namespace pirowend::testing
