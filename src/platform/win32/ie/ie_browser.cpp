// The browser engine on Windows: the browser's COM automation server, driven through
// IWebBrowser2, with a real IDispatch in front of the event receiver's dispatch table.
#include "platform/win32/windows_api.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ocidl.h>
#include <oleauto.h>

#include <memory>
#include <vector>

#include "platform/browser_automation.h"

namespace pirowend::automation {
namespace {

// The interfaces by their identities, as the browser registers them.
constexpr CLSID kClsidInternetExplorer = {
    0x0002DF01, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kIidWebBrowser2 = {
    0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
constexpr IID kIidConnectionPointContainer = {
    0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
constexpr IID kDiidWebBrowserEvents2 = {
    0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4D, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
constexpr IID kIidHtmlDocument2 = {
    0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};

// Holds one reference to a COM interface.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  T** receive() {
    reset();
    return &pointer_;
  }
  void reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  T* pointer_ = nullptr;
};

class Bstr {
 public:
  explicit Bstr(const std::u16string& text)
      : text_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                static_cast<UINT>(text.size()))) {}
  Bstr() = default;
  ~Bstr() { SysFreeString(text_); }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  BSTR get() const { return text_; }
  BSTR* receive() {
    SysFreeString(text_);
    text_ = nullptr;
    return &text_;
  }

 private:
  BSTR text_ = nullptr;
};

std::u16string text_of(const OLECHAR* text, std::size_t length) {
  return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

// The IDispatch that the browser's connection point calls: it turns each Invoke into the
// receiver's typed arguments. Its reference count is the receiver's.
class EventDispatch final : public IDispatch {
 public:
  explicit EventDispatch(EventReceiver& receiver) : receiver_(receiver) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kDiidWebBrowserEvents2)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(receiver_.add_ref()); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(receiver_.release()); }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    HRESULT result = S_OK;
    for (UINT n = 0; n < count; ++n) {
      auto id = receiver_.dispid_of(reinterpret_cast<const char16_t*>(names[n]));
      ids[n] = id ? *id : DISPID_UNKNOWN;
      if (!id) result = DISP_E_UNKNOWNNAME;
    }
    return result;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) override {
    const UINT count = params ? params->cArgs : 0;
    std::vector<EventArg> args(count);
    std::vector<std::u16string> texts(count);
    std::vector<ObjectId> windows(count);
    for (UINT n = 0; n < count; ++n) {
      // The arguments come last first.
      VARIANT& value = params->rgvarg[count - 1 - n];
      EventArg& arg = args[n];
      switch (value.vt) {
        case VT_DISPATCH:
          arg.type = EventArg::Type::dispatch;
          arg.dispatch = reinterpret_cast<ObjectId>(value.pdispVal);
          break;
        case VT_VARIANT | VT_BYREF:
          arg.type = EventArg::Type::variant_ref;
          if (value.pvarVal && value.pvarVal->vt == VT_BSTR && value.pvarVal->bstrVal) {
            texts[n] = text_of(value.pvarVal->bstrVal, SysStringLen(value.pvarVal->bstrVal));
          }
          arg.variant = &texts[n];
          break;
        case VT_DISPATCH | VT_BYREF:
          arg.type = EventArg::Type::dispatch_ref;
          windows[n] = value.ppdispVal && *value.ppdispVal
                           ? reinterpret_cast<ObjectId>(*value.ppdispVal)
                           : 0;
          arg.dispatch_ref = &windows[n];
          break;
        case VT_BOOL | VT_BYREF:
          arg.type = EventArg::Type::bool_ref;
          arg.bool_ref = value.pboolVal;  // the browser's own flag, handed through
          break;
        default:
          return DISP_E_TYPEMISMATCH;
      }
    }
    return receiver_.invoke(dispid, args);
  }

 private:
  EventReceiver& receiver_;
};

class IeElement final : public Element {
 public:
  explicit IeElement(IHTMLElement* element) : element_(element) {}
  ~IeElement() override { element_->Release(); }
  Status outer_text(std::optional<std::u16string>& text) override {
    Bstr value;
    HRESULT result = element_->get_outerText(value.receive());
    if (!value.get()) {
      text.reset();
    } else {
      text = text_of(value.get(), SysStringLen(value.get()));
    }
    return result;
  }

 private:
  IHTMLElement* element_;
};

class IeDocument final : public HtmlDocument {
 public:
  explicit IeDocument(IHTMLDocument2* document) : document_(document) {}
  ~IeDocument() override { document_->Release(); }
  std::unique_ptr<Element> body() override {
    IHTMLElement* body = nullptr;
    document_->get_body(&body);
    return body ? std::make_unique<IeElement>(body) : nullptr;
  }

 private:
  IHTMLDocument2* document_;
};

class IeBrowser final : public WebBrowser {
 public:
  explicit IeBrowser(IWebBrowser2* browser) : browser_(browser) {}
  ~IeBrowser() override {
    if (events_) CoDisconnectObject(events_.get(), 0);
    browser_->Release();
  }

  Status navigate(const std::u16string& url) override {
    Bstr address(url);
    VARIANT empty[4];
    for (VARIANT& value : empty) VariantInit(&value);
    return browser_->Navigate(address.get(), &empty[0], &empty[1], &empty[2], &empty[3]);
  }
  Status busy(bool& busy) override {
    VARIANT_BOOL value = VARIANT_FALSE;
    HRESULT result = browser_->get_Busy(&value);
    if (SUCCEEDED(result)) last_busy_ = value == VARIANT_TRUE;
    busy = last_busy_;  // a failing call keeps the value of the last one that gave one
    return result;
  }
  std::unique_ptr<HtmlDocument> html_document() override {
    ComPtr<IDispatch> document;
    browser_->get_Document(document.receive());
    if (!document) return nullptr;
    IHTMLDocument2* html = nullptr;
    if (document->QueryInterface(kIidHtmlDocument2, reinterpret_cast<void**>(&html)) != S_OK ||
        !html) {
      return nullptr;
    }
    return std::make_unique<IeDocument>(html);
  }
  ObjectId identity() override {
    ComPtr<IDispatch> self;
    browser_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(self.receive()));
    return reinterpret_cast<ObjectId>(self.get());
  }
  Status stop() override { return browser_->Stop(); }
  Status set_visible(bool visible) override {
    return browser_->put_Visible(visible ? VARIANT_TRUE : VARIANT_FALSE);
  }
  Status quit() override { return browser_->Quit(); }

  Status advise(EventReceiver& receiver, std::uint32_t& cookie) override {
    ComPtr<IConnectionPoint> point;
    HRESULT result = connection_point(point);
    if (FAILED(result)) return result;
    events_ = std::make_unique<EventDispatch>(receiver);
    DWORD value = 0;
    result = point->Advise(events_.get(), &value);
    cookie = value;
    return result;
  }
  Status unadvise(std::uint32_t cookie) override {
    ComPtr<IConnectionPoint> point;
    HRESULT result = connection_point(point);
    if (FAILED(result)) return result;
    return point->Unadvise(cookie);
  }

 private:
  HRESULT connection_point(ComPtr<IConnectionPoint>& point) {
    ComPtr<IConnectionPointContainer> container;
    HRESULT result = browser_->QueryInterface(kIidConnectionPointContainer,
                                              reinterpret_cast<void**>(container.receive()));
    if (FAILED(result)) return result;
    return container->FindConnectionPoint(kDiidWebBrowserEvents2, point.receive());
  }

  IWebBrowser2* browser_;
  std::unique_ptr<EventDispatch> events_;
  bool last_busy_ = false;
};

}  // namespace

Status create_platform_browser(std::unique_ptr<WebBrowser>& browser) {
  IWebBrowser2* created = nullptr;
  HRESULT result = CoCreateInstance(kClsidInternetExplorer, nullptr, CLSCTX_LOCAL_SERVER,
                                    kIidWebBrowser2, reinterpret_cast<void**>(&created));
  if (FAILED(result) || !created) return FAILED(result) ? result : kFail;
  browser = std::make_unique<IeBrowser>(created);
  return kOk;
}

}  // namespace pirowend::automation
