#include "support/fake_browser.h"

#include <memory>

#include "platform/text.h"

namespace pirowend::testing {

using namespace automation;

class FakeBrowser final : public WebBrowser {
 public:
  explicit FakeBrowser(FakeEngine& engine) : engine_(engine) {
    ++engine_.live_browsers;
    ++engine_.browsers_created;
    engine_.log("create");
  }
  ~FakeBrowser() override {
    --engine_.live_browsers;
    engine_.log("destroy");
  }

  Status navigate(const std::u16string& url) override {
    url_ = platform::from_utf16(url);
    engine_.log("navigate " + url_);
    const FakePage& page = engine_.page(url_);
    if (page.navigate_status != kOk) return page.navigate_status;
    polls_ = 0;
    completed_ = false;
    stopped_ = false;
    return kOk;
  }

  Status busy(bool& busy) override {
    const FakePage& page = engine_.page(url_);
    ++polls_;
    if (polls_ == 1 && page.frames) fire_document_complete(kFrameIdentity);
    if (polls_ == 1 && page.popup) fire_new_window();
    bool done = (page.completes && polls_ > page.busy_polls) || (stopped_ && page.stop_completes);
    if (done && !completed_) {
      completed_ = true;
      fire_document_complete(identity());
    }
    busy = !done && !stopped_;
    return kOk;
  }

  std::unique_ptr<HtmlDocument> html_document() override {
    const FakePage& page = engine_.page(url_);
    if (!completed_ || page.document != FakePage::Document::html) return nullptr;
    return std::make_unique<Document>(page);
  }

  ObjectId identity() override { return kOwnIdentity; }
  Status stop() override {
    stopped_ = true;
    engine_.log("stop");
    return kOk;
  }
  Status set_visible(bool visible) override {
    engine_.log(visible ? "visible 1" : "visible 0");
    return kOk;
  }
  Status quit() override {
    engine_.log("quit");
    return kOk;
  }
  Status advise(EventReceiver& receiver, std::uint32_t& cookie) override {
    engine_.log("advise");
    if (failed(engine_.advise_status)) return engine_.advise_status;
    receiver_ = &receiver;
    receiver.add_ref();
    cookie = 42;
    return kOk;
  }
  Status unadvise(std::uint32_t cookie) override {
    engine_.log("unadvise");
    if (cookie != 42 || !receiver_) return kFail;
    receiver_->release();
    receiver_ = nullptr;
    return kOk;
  }

 private:
  static constexpr ObjectId kOwnIdentity = 0x1000;
  static constexpr ObjectId kFrameIdentity = 0x2000;

  class Body final : public Element {
   public:
    explicit Body(const FakePage& page) : page_(page) {}
    Status outer_text(std::optional<std::u16string>& text) override {
      text = page_.text;
      return kOk;
    }

   private:
    FakePage page_;
  };

  class Document final : public HtmlDocument {
   public:
    explicit Document(const FakePage& page) : page_(page) {}
    std::unique_ptr<Element> body() override {
      return page_.body ? std::make_unique<Body>(page_) : nullptr;
    }

   private:
    FakePage page_;
  };

  void fire_document_complete(ObjectId document) {
    if (!receiver_) return;
    std::u16string url = platform::to_utf16(url_);
    EventArg args[] = {{.type = EventArg::Type::dispatch, .dispatch = document},
                       {.type = EventArg::Type::variant_ref, .variant = &url}};
    receiver_->invoke(kDispIdDocumentComplete, args);
  }

  void fire_new_window() {
    if (!receiver_) return;
    ObjectId window = 0;
    VariantBool cancel = kVariantFalse;
    EventArg args[] = {{.type = EventArg::Type::dispatch_ref, .dispatch_ref = &window},
                       {.type = EventArg::Type::bool_ref, .bool_ref = &cancel}};
    receiver_->invoke(kDispIdNewWindow2, args);
    engine_.popup_answers.push_back(cancel);
  }

  FakeEngine& engine_;
  EventReceiver* receiver_ = nullptr;
  std::string url_;
  int polls_ = 0;
  bool completed_ = false;
  bool stopped_ = false;
};

BrowserFactory FakeEngine::factory() {
  return [this](std::unique_ptr<WebBrowser>& browser) -> Status {
    ++create_attempts;
    if (failed(create_status)) return create_status;
    browser = std::make_unique<FakeBrowser>(*this);
    return kOk;
  };
}

void FakeEngine::log(const std::string& entry) { log_.emplace_back(clock_.now_ms(), entry); }

std::vector<std::uint64_t> FakeEngine::times_of(const std::string& prefix) const {
  std::vector<std::uint64_t> times;
  for (const auto& [time, entry] : log_) {
    if (entry.starts_with(prefix)) times.push_back(time);
  }
  return times;
}

std::vector<std::string> FakeEngine::entries() const {
  std::vector<std::string> out;
  for (const auto& [time, entry] : log_) out.push_back(entry);
  return out;
}

}  // namespace pirowend::testing
