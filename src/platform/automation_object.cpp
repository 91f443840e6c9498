#include "platform/automation_object.h"

#include <algorithm>

namespace pirowend::automation {
namespace {

char16_t fold(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}  // namespace

Status AutomationObject::invoke(std::int32_t dispid, std::span<EventArg> args) {
  for (const DispatchEntry& entry : dispatch_table()) {
    if (entry.dispid != dispid) continue;
    if (args.size() != entry.params.size()) return kTypeMismatch;
    for (std::size_t n = 0; n < args.size(); ++n) {
      if (args[n].type != entry.params[n]) return kTypeMismatch;
    }
    entry.handler(*this, args);
    return kOk;
  }
  return kMemberNotFound;
}

std::optional<std::int32_t> AutomationObject::dispid_of(std::u16string_view name) const {
  for (const DispatchEntry& entry : dispatch_table()) {
    if (std::equal(entry.name.begin(), entry.name.end(), name.begin(), name.end(),
                   [](char16_t a, char16_t b) { return fold(a) == fold(b); })) {
      return entry.dispid;
    }
  }
  return std::nullopt;
}

}  // namespace pirowend::automation
