#pragma once
// The engine-neutral browser automation interface: what page checking needs of a browser,
// shaped after the browser's automation server. Statuses are HRESULT-style (negative is a
// failure); events reach the receiver by DISPID, and only inside the caller's own calls into
// the engine, never from another thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

namespace pirowend::automation {

using Status = std::int32_t;
inline constexpr Status kOk = 0;
inline constexpr Status kFalse = 1;
inline constexpr Status kFail = static_cast<Status>(0x80004005);
inline constexpr Status kClassNotRegistered = static_cast<Status>(0x80040154);
inline constexpr Status kFileNotFound = static_cast<Status>(0x80070002);
inline constexpr Status kServerExecFailure = static_cast<Status>(0x80080005);
inline constexpr Status kInvalidArgument = static_cast<Status>(0x80070057);
inline constexpr bool failed(Status status) { return status < 0; }

// The 16-bit boolean of the automation world.
using VariantBool = std::int16_t;
inline constexpr VariantBool kVariantTrue = -1;
inline constexpr VariantBool kVariantFalse = 0;

// DISPIDs of the browser's events.
inline constexpr std::int32_t kDispIdDownloadComplete = 104;
inline constexpr std::int32_t kDispIdNewWindow2 = 251;
inline constexpr std::int32_t kDispIdDocumentComplete = 259;

// Identity of a browser-side object, standing in for its IDispatch: two events name the same
// document exactly when their identities are equal. 0 is no object.
using ObjectId = std::uintptr_t;

// One argument of an event, typed as a dispatch table declares its parameters.
struct EventArg {
  enum class Type { dispatch, variant_ref, dispatch_ref, bool_ref };
  Type type;
  ObjectId dispatch = 0;                    // dispatch
  const std::u16string* variant = nullptr;  // variant_ref (a text VARIANT passed by reference)
  ObjectId* dispatch_ref = nullptr;         // dispatch_ref
  VariantBool* bool_ref = nullptr;          // bool_ref, handed through unconverted
};

// What receives events: an automation object with a reference count and a dispatch table.
class EventReceiver {
 public:
  virtual long add_ref() = 0;
  virtual long release() = 0;
  // Dispatches by DISPID; an unknown DISPID or arguments of the wrong types have no effect.
  virtual Status invoke(std::int32_t dispid, std::span<EventArg> args) = 0;
  // The DISPID of an external name, or nullopt.
  virtual std::optional<std::int32_t> dispid_of(std::u16string_view name) const = 0;

 protected:
  ~EventReceiver() = default;
};

class Element {
 public:
  virtual ~Element() = default;
  // The element's text without markup; nullopt stands for a null text.
  virtual Status outer_text(std::optional<std::u16string>& text) = 0;
};

class HtmlDocument {
 public:
  virtual ~HtmlDocument() = default;
  // The body element, or null.
  virtual std::unique_ptr<Element> body() = 0;
};

class WebBrowser {
 public:
  virtual ~WebBrowser() = default;
  virtual Status navigate(const std::u16string& url) = 0;
  // True while the browser is loading. Pending events are delivered during this call.
  virtual Status busy(bool& busy) = 0;
  // The loaded document when it is an HTML document of the current navigation, else null.
  virtual std::unique_ptr<HtmlDocument> html_document() = 0;
  // The identity that events give for the browser's own top-level document.
  virtual ObjectId identity() = 0;
  virtual Status stop() = 0;
  virtual Status set_visible(bool visible) = 0;
  virtual Status quit() = 0;
  virtual Status advise(EventReceiver& receiver, std::uint32_t& cookie) = 0;
  virtual Status unadvise(std::uint32_t cookie) = 0;
};

// Starts one browser instance; on failure the status says why and browser stays null.
using BrowserFactory = std::function<Status(std::unique_ptr<WebBrowser>& browser)>;

// The platform's own engine.
Status create_platform_browser(std::unique_ptr<WebBrowser>& browser);

}  // namespace pirowend::automation
