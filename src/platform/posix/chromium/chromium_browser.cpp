// The browser engine on Linux: one headless Chromium per instance, driven over its DevTools
// pipe and shaped into the automation interface that page checking uses.
#include <cctype>
#include <chrono>
#include <deque>
#include <map>
#include <memory>

#include "platform/posix/chromium/chromium_browser.h"
#include "platform/posix/chromium/devtools_pipe.h"
#include "platform/text.h"

namespace pirowend::automation {
namespace {

using chromium::DevToolsPipe;
using chromium::Json;

constexpr int kCommandTimeoutMs = 10000;

// The member at the end of a path of keys, or null when any step is missing: the browser's
// messages are read without trusting their shape.
const Json& member(const Json& json, std::initializer_list<const char*> path) {
  static const Json kNull;
  const Json* at = &json;
  for (const char* key : path) {
    if (!at->is_object()) return kNull;
    auto found = at->find(key);
    if (found == at->end()) return kNull;
    at = &*found;
  }
  return *at;
}

std::string text_of(const Json& json, std::initializer_list<const char*> path) {
  const Json& found = member(json, path);
  return found.is_string() ? found.get<std::string>() : std::string();
}
constexpr int kTextTimeoutMs = 30000;
constexpr int kNavigateReplyWaitMs = 1000;
constexpr int kStopSettleMs = 500;

// Page-list lines are addresses as a user types them: without a scheme they are web
// addresses, and absolute paths are local files.
std::string url_for_line(const std::string& line) {
  std::size_t colon = line.find(':');
  bool has_scheme =
      colon != std::string::npos && colon > 0 && std::isalpha(static_cast<unsigned char>(line[0]));
  for (std::size_t n = 1; has_scheme && n < colon; ++n) {
    char c = line[n];
    has_scheme = std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
  }
  if (has_scheme) return line;
  if (line.starts_with("/")) return "file://" + line;
  return "http://" + line;
}

// The body text as the page gives it, one round trip.
constexpr const char* kBodyTextScript = R"JS((() => {
  const d = document;
  if (!(d instanceof HTMLDocument)) return {kind: 'not_html'};
  const b = d.body;
  if (!b) return {kind: 'no_body'};
  const t = b.outerText;
  if (t === null || t === undefined) return {kind: 'null_text'};
  return {kind: 'text', text: String(t)};
})())JS";

class ChromiumElement final : public Element {
 public:
  explicit ChromiumElement(std::optional<std::u16string> text) : text_(std::move(text)) {}
  Status outer_text(std::optional<std::u16string>& text) override {
    text = text_;
    return kOk;
  }

 private:
  std::optional<std::u16string> text_;
};

class ChromiumDocument final : public HtmlDocument {
 public:
  ChromiumDocument(bool has_body, std::optional<std::u16string> text)
      : has_body_(has_body), text_(std::move(text)) {}
  std::unique_ptr<Element> body() override {
    if (!has_body_) return nullptr;
    return std::make_unique<ChromiumElement>(text_);
  }

 private:
  bool has_body_;
  std::optional<std::u16string> text_;
};

class ChromiumBrowser final : public WebBrowser {
 public:
  explicit ChromiumBrowser(std::unique_ptr<DevToolsPipe> pipe) : pipe_(std::move(pipe)) {}
  ~ChromiumBrowser() override { pipe_->close(); }

  Status attach() {
    pipe_->reply(pipe_->send("Target.setDiscoverTargets", {{"discover", true}}), kCommandTimeoutMs);
    pipe_->reply(pipe_->send("Browser.setDownloadBehavior", {{"behavior", "deny"}}),
                 kCommandTimeoutMs);
    auto targets = pipe_->reply(pipe_->send("Target.getTargets"), kCommandTimeoutMs);
    if (!targets) return kServerExecFailure;
    for (const auto& info : member(*targets, {"result", "targetInfos"})) {
      if (text_of(info, {"type"}) == "page") {
        target_ = text_of(info, {"targetId"});
        break;
      }
    }
    if (target_.empty()) return kServerExecFailure;
    auto attached = pipe_->reply(
        pipe_->send("Target.attachToTarget", {{"targetId", target_}, {"flatten", true}}),
        kCommandTimeoutMs);
    if (!attached) return kServerExecFailure;
    session_ = text_of(*attached, {"result", "sessionId"});
    if (session_.empty()) return kServerExecFailure;
    for (const char* method : {"Page.enable", "Runtime.enable"}) {
      pipe_->reply(pipe_->send(method, Json::object(), session_), kCommandTimeoutMs);
    }
    pipe_->reply(pipe_->send("Page.setLifecycleEventsEnabled", {{"enabled", true}}, session_),
                 kCommandTimeoutMs);
    return pipe_->alive() ? kOk : kServerExecFailure;
  }

  Status navigate(const std::u16string& url) override {
    if (!pipe_->alive()) return kFail;
    // What is still on its way belongs to the previous page: its dialogs and windows are dealt
    // with, but its completions must not end the wait for this one.
    pipe_->pump(0);
    take_events();
    std::erase_if(pending_,
                  [](const Pending& event) { return event.dispid == kDispIdDocumentComplete; });
    navigation_ = {};
    navigation_.loading = true;
    navigate_id_ =
        pipe_->send("Page.navigate", {{"url", url_for_line(platform::from_utf16(url))}}, session_);
    if (navigate_id_ < 0) return kFail;
    // Refusals are answered at once; a page that is slow to answer is followed in busy().
    if (auto reply = pipe_->reply(navigate_id_, kNavigateReplyWaitMs)) {
      navigate_id_ = -1;
      if (reply->contains("error")) {
        navigation_ = {};
        return kInvalidArgument;
      }
      take_navigate_reply(*reply);
    }
    if (!pipe_->alive()) return kFail;  // the browser died: as a broken connection would
    deliver_events();
    return kOk;
  }

  Status busy(bool& busy) override {
    pipe_->pump(0);
    if (navigate_id_ >= 0) {
      if (auto reply = pipe_->take_reply(navigate_id_)) {
        navigate_id_ = -1;
        if (reply->contains("error"))
          fail_navigation();
        else
          take_navigate_reply(*reply);
      }
    }
    deliver_events();
    if (!pipe_->alive() && !navigation_.failed) fail_navigation();
    busy = navigation_.loading && !navigation_.failed;
    return pipe_->alive() ? kOk : kFail;
  }

  std::unique_ptr<HtmlDocument> html_document() override {
    // A browser or renderer that died gave no text; a failed navigation gave no document.
    if (!pipe_->alive() || navigation_.crashed) {
      return std::make_unique<ChromiumDocument>(true, std::nullopt);
    }
    if (navigation_.failed || !navigation_.committed) return nullptr;
    auto reply = pipe_->reply(
        pipe_->send("Runtime.evaluate", {{"expression", kBodyTextScript}, {"returnByValue", true}},
                    session_),
        kTextTimeoutMs);
    Json value;
    if (reply && member(*reply, {"result", "exceptionDetails"}).is_null()) {
      value = member(*reply, {"result", "result", "value"});
    }
    if (!value.is_object()) {
      // The page did not answer (a hung or crashed renderer): it gave no text.
      return std::make_unique<ChromiumDocument>(true, std::nullopt);
    }
    const std::string kind = text_of(value, {"kind"});
    if (kind == "not_html") return nullptr;
    if (kind == "no_body") return std::make_unique<ChromiumDocument>(false, std::nullopt);
    if (kind != "text") return std::make_unique<ChromiumDocument>(true, std::nullopt);
    return std::make_unique<ChromiumDocument>(true, platform::to_utf16(text_of(value, {"text"})));
  }

  ObjectId identity() override { return object_for(target_); }

  Status stop() override {
    if (!pipe_->alive()) return kFail;
    navigation_.stopped = true;
    // Nothing to stop once the main frame has finished: spare the round trip.
    if (!navigation_.loading && navigate_id_ < 0) return kOk;
    pipe_->reply(pipe_->send("Page.stopLoading", Json::object(), session_), kCommandTimeoutMs);
    // The main frame reports that it stopped just after the answer; take that report along.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStopSettleMs);
    deliver_events();
    while (navigation_.loading && pipe_->alive() && std::chrono::steady_clock::now() < until) {
      pipe_->pump(10);
      deliver_events();
    }
    return kOk;
  }

  Status set_visible(bool) override { return kOk; }  // headless: never visible

  Status quit() override {
    pipe_->close();
    return kOk;
  }

  bool run_as_user(const std::string& script) {
    auto reply = pipe_->reply(
        pipe_->send("Runtime.evaluate", {{"expression", script}, {"userGesture", true}}, session_),
        kCommandTimeoutMs);
    deliver_events();
    return reply && reply->contains("result");
  }

  int open_pages() {
    auto reply = pipe_->reply(pipe_->send("Target.getTargets"), kCommandTimeoutMs);
    deliver_events();
    if (!reply) return -1;
    int pages = 0;
    for (const auto& info : member(*reply, {"result", "targetInfos"})) {
      pages += text_of(info, {"type"}) == "page";
    }
    return pages;
  }

  Status advise(EventReceiver& receiver, std::uint32_t& cookie) override {
    if (receiver_) return kFail;
    receiver_ = &receiver;
    receiver.add_ref();
    cookie = 1;
    return kOk;
  }

  Status unadvise(std::uint32_t cookie) override {
    if (cookie != 1 || !receiver_) return kFail;
    receiver_->release();
    receiver_ = nullptr;
    return kOk;
  }

 private:
  struct Navigation {
    bool loading = false;
    bool committed = false;       // the main frame holds this navigation's document
    bool content_loaded = false;  // and has parsed it
    bool failed = false;          // no document of the page will come
    bool completed = false;
    bool stopped = false;  // the checker gave up on it
    bool crashed = false;  // the page's renderer died
  };

  ObjectId object_for(const std::string& frame) {
    auto [it, added] = objects_.try_emplace(frame, objects_.size() + 1);
    return it->second;
  }

  void take_navigate_reply(const Json& reply) {
    // A network error, a download or an empty answer: there is no document of the page.
    if (!member(reply, {"result", "errorText"}).is_null() ||
        member(reply, {"result", "isDownload"}) == true) {
      fail_navigation();
    }
  }

  // No document of the page will come. Reported as complete at once, so that the check does
  // not wait for the page limit; but not after the check itself stopped the page, which then
  // gave no text.
  void fail_navigation() {
    navigation_.failed = true;
    navigation_.loading = false;
    if (!navigation_.stopped) complete_top();
  }

  void complete_top() {
    if (navigation_.completed) return;
    navigation_.completed = true;
    pending_.push_back({kDispIdDocumentComplete, identity(), {}});
  }

  void on_event(const Json& event) {
    const std::string method = text_of(event, {"method"});
    const Json& params = member(event, {"params"});
    if (event.contains("sessionId") && text_of(event, {"sessionId"}) != session_) return;
    if (method == "Page.frameNavigated") {
      if (member(params, {"frame", "parentId"}).is_null()) {
        navigation_.committed = true;
        if (text_of(params, {"frame", "url"}).starts_with("chrome-error:")) fail_navigation();
      }
    } else if (method == "Page.frameStartedLoading") {
      if (text_of(params, {"frameId"}) == target_ && !navigation_.completed) {
        navigation_.loading = true;
      }
    } else if (method == "Page.domContentEventFired") {
      navigation_.content_loaded = true;
    } else if (method == "Page.frameStoppedLoading") {
      const std::string frame = text_of(params, {"frameId"});
      if (frame != target_) {
        pending_.push_back({kDispIdDocumentComplete, object_for(frame), {}});
      } else {
        navigation_.loading = false;
        // A stopped page whose document was never parsed has no text worth comparing.
        if (navigation_.committed && navigation_.content_loaded) complete_top();
      }
    } else if (method == "Page.javascriptDialogOpening") {
      // Dialogs would stall the page: dismiss them, but let pages be left.
      bool leave = text_of(params, {"type"}) == "beforeunload";
      pipe_->send("Page.handleJavaScriptDialog", {{"accept", leave}}, session_);
    } else if (method == "Target.targetCreated") {
      const std::string target = text_of(params, {"targetInfo", "targetId"});
      if (text_of(params, {"targetInfo", "type"}) == "page" && target != target_) {
        pending_.push_back({kDispIdNewWindow2, 0, target});
      }
    } else if (method == "Inspector.targetCrashed") {
      navigation_.crashed = true;
      fail_navigation();
    } else if (method == "Target.targetDestroyed" || method == "Target.detachedFromTarget") {
      if (text_of(params, {"targetId"}) == target_ || text_of(params, {"sessionId"}) == session_) {
        fail_navigation();
      }
    }
  }

  // Turns what has arrived into state, then hands the events to the receiver, here on the
  // caller's thread and inside its call.
  void take_events() {
    auto& events = pipe_->events();
    while (!events.empty()) {
      Json event = std::move(events.front());
      events.pop_front();
      on_event(event);
    }
  }

  void deliver_events() {
    take_events();
    while (!pending_.empty()) {
      Pending next = std::move(pending_.front());
      pending_.pop_front();
      if (next.dispid == kDispIdDocumentComplete) {
        std::u16string url;
        EventArg args[] = {{.type = EventArg::Type::dispatch, .dispatch = next.object},
                           {.type = EventArg::Type::variant_ref, .variant = &url}};
        if (receiver_) receiver_->invoke(kDispIdDocumentComplete, args);
      } else {
        ObjectId window = 0;
        VariantBool cancel = kVariantFalse;
        EventArg args[] = {{.type = EventArg::Type::dispatch_ref, .dispatch_ref = &window},
                           {.type = EventArg::Type::bool_ref, .bool_ref = &cancel}};
        if (receiver_) receiver_->invoke(kDispIdNewWindow2, args);
        // A browser cannot refuse a window here, but it can close it at once.
        if (cancel != kVariantFalse || !receiver_) {
          pipe_->send("Target.closeTarget", {{"targetId", next.target}});
        }
      }
    }
  }

  struct Pending {
    std::int32_t dispid;
    ObjectId object;
    std::string target;
  };

  std::unique_ptr<DevToolsPipe> pipe_;
  std::string target_;
  std::string session_;
  std::map<std::string, ObjectId> objects_;
  EventReceiver* receiver_ = nullptr;
  Navigation navigation_;
  int navigate_id_ = -1;
  std::deque<Pending> pending_;
};

}  // namespace

Status create_platform_browser(std::unique_ptr<WebBrowser>& browser) {
  std::unique_ptr<DevToolsPipe> pipe;
  switch (DevToolsPipe::launch(chromium::find_chromium(), pipe)) {
    case DevToolsPipe::LaunchResult::not_found:
      return kFileNotFound;
    case DevToolsPipe::LaunchResult::failed:
      return kServerExecFailure;
    case DevToolsPipe::LaunchResult::started:
      break;
  }
  auto made = std::make_unique<ChromiumBrowser>(std::move(pipe));
  Status status = made->attach();
  if (failed(status)) return status;
  browser = std::move(made);
  return kOk;
}

}  // namespace pirowend::automation

namespace pirowend::chromium {

bool run_as_user(automation::WebBrowser& browser, const std::string& script) {
  auto* chromium = dynamic_cast<automation::ChromiumBrowser*>(&browser);
  return chromium && chromium->run_as_user(script);
}

int open_pages(automation::WebBrowser& browser) {
  auto* chromium = dynamic_cast<automation::ChromiumBrowser*>(&browser);
  return chromium ? chromium->open_pages() : -1;
}

}  // namespace pirowend::chromium
