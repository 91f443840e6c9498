#include "checking/browser_sink.h"

#include <array>

#include "platform/message_box.h"
#include "platform/module_paths.h"
#include "platform/seams.h"
#include "plugin/plugin_state.h"

namespace pirowend {

using automation::EventArg;

namespace {

constexpr std::array<EventArg::Type, 2> kDocumentCompleteParams = {EventArg::Type::dispatch,
                                                                   EventArg::Type::variant_ref};
constexpr std::array<EventArg::Type, 2> kNewWindow2Params = {EventArg::Type::dispatch_ref,
                                                             EventArg::Type::bool_ref};

CIEComCtrlSink& sink(automation::AutomationObject& self) {
  return static_cast<CIEComCtrlSink&>(self);
}

const std::array<automation::DispatchEntry, 3> kDispatchTable = {{
    {u"DocumentComplete", automation::kDispIdDocumentComplete, kDocumentCompleteParams,
     [](automation::AutomationObject& self, std::span<EventArg> args) {
       sink(self).on_document_complete(args[0].dispatch, args[1].variant);
     }},
    {u"DownloadEnd",
     automation::kDispIdDownloadComplete,
     {},
     [](automation::AutomationObject& self, std::span<EventArg>) { sink(self).on_download_end(); }},
    {u"NewWindow2", automation::kDispIdNewWindow2, kNewWindow2Params,
     [](automation::AutomationObject& self, std::span<EventArg> args) {
       sink(self).on_new_window2(args[0].dispatch_ref, args[1].bool_ref);
     }},
}};

}  // namespace

std::string browser_failure_message(automation::Status status) {
  return "Failed to create object error = " + std::to_string(status);
}

CIEComCtrlSink::~CIEComCtrlSink() {
  disconnect_events();
  browser_.reset();
}

std::span<const automation::DispatchEntry> CIEComCtrlSink::dispatch_table() const {
  return kDispatchTable;
}

int CIEComCtrlSink::create_browser() {
  const auto& factory = platform::seams().browser_factory;
  automation::Status status =
      factory ? factory(browser_) : automation::create_platform_browser(browser_);
  if (automation::failed(status) || !browser_) {
    browser_.reset();
    platform::show_warning(platform::plugin_module_stem(), browser_failure_message(status));
    return 0;
  }
  std::uint32_t cookie = 0;
  if (!automation::failed(browser_->advise(*this, cookie))) {
    advise_cookie_ = cookie;
    // The connection's reference must not keep the object alive: its owner ends its life.
    release();
  }
  return 1;
}

bool CIEComCtrlSink::disconnect_events() {
  if (advise_cookie_ == 0) return true;
  add_ref();
  bool removed = browser_ && !automation::failed(browser_->unadvise(advise_cookie_));
  if (!removed) release();
  advise_cookie_ = 0;
  return removed;
}

void CIEComCtrlSink::on_document_complete(automation::ObjectId document, const std::u16string*) {
  automation::ObjectId own = browser_ ? browser_->identity() : 0;
  // Frames report their own documents; only the top-level one ends the page wait.
  if (own != 0 && own == document) plugin_state().document_complete = true;
}

void CIEComCtrlSink::on_download_end() {}

void CIEComCtrlSink::on_new_window2(automation::ObjectId*, automation::VariantBool* cancel) {
  if (cancel) *cancel = automation::kVariantTrue;
}

}  // namespace pirowend
