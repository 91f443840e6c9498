#pragma once
// The automation-capable object base: a reference count and a dispatch table through which
// events are invoked by DISPID, each handler getting its arguments in the declared types.
// The owner destroys the object; the count only tells remote holders' references apart.
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/browser_automation.h"

namespace pirowend::automation {

class AutomationObject;

struct DispatchEntry {
  std::u16string_view name;  // answers name lookups only
  std::int32_t dispid;
  std::span<const EventArg::Type> params;
  void (*handler)(AutomationObject& self, std::span<EventArg> args);
};

inline constexpr Status kMemberNotFound = static_cast<Status>(0x80020003);
inline constexpr Status kTypeMismatch = static_cast<Status>(0x80020005);

class AutomationObject : public EventReceiver {
 public:
  long add_ref() override { return ++references_; }
  long release() override { return --references_; }
  long references() const { return references_; }

  Status invoke(std::int32_t dispid, std::span<EventArg> args) override;
  std::optional<std::int32_t> dispid_of(std::u16string_view name) const override;

 protected:
  AutomationObject() = default;
  virtual ~AutomationObject() = default;
  virtual std::span<const DispatchEntry> dispatch_table() const = 0;

 private:
  std::atomic<long> references_{1};
};

}  // namespace pirowend::automation
