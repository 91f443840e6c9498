#pragma once
// One browser instance for one pass: starts the browser, owns its interface, receives its
// events through the dispatch table, and ends the event connection again.
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/automation_object.h"
#include "platform/browser_automation.h"

namespace pirowend {

class CIEComCtrlSink final : public automation::AutomationObject {
 public:
  CIEComCtrlSink() = default;
  ~CIEComCtrlSink() override;
  CIEComCtrlSink(const CIEComCtrlSink&) = delete;
  CIEComCtrlSink& operator=(const CIEComCtrlSink&) = delete;

  // 1 when the browser exists (also when its event connection failed); 0 when it could not be
  // created, after the user has seen the message.
  int create_browser();
  // The browser's interface, or null; no reference is added.
  automation::WebBrowser* get_browser() const { return browser_.get(); }
  // True when no connection existed or it was removed; advise_cookie is 0 afterwards.
  bool disconnect_events();
  std::uint32_t advise_cookie() const { return advise_cookie_; }

  void on_document_complete(automation::ObjectId document, const std::u16string* url);
  void on_download_end();
  void on_new_window2(automation::ObjectId* new_window, automation::VariantBool* cancel);

 private:
  std::span<const automation::DispatchEntry> dispatch_table() const override;

  std::unique_ptr<automation::WebBrowser> browser_;
  std::uint32_t advise_cookie_ = 0;
};

// "Failed to create object error = %d" for a status.
std::string browser_failure_message(automation::Status status);

}  // namespace pirowend
