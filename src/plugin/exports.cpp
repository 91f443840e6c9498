// The exported entry points: thin shims that let no exception cross into the host.
#include "plugin/entry_points.h"
#include "plugin/plugin_api.h"

using namespace pirowend;

extern "C" {

PIROWEND_EXPORT bool PIROWEND_CALL zandel_plugin_init(char** title_slot, IconHandle* icon,
                                                      PluginCommand** command_slot,
                                                      std::int32_t* command_count, std::uintptr_t,
                                                      std::uintptr_t, std::uintptr_t,
                                                      std::uintptr_t, HostAllocFn host_alloc,
                                                      std::uintptr_t, std::uintptr_t) noexcept {
  try {
    plugin_init(title_slot, icon, command_slot, command_count, host_alloc);
  } catch (...) {
  }
  return true;
}

PIROWEND_EXPORT int PIROWEND_CALL zandel_plugin_uninit() noexcept {
  try {
    return plugin_uninit();
  } catch (...) {
    return 0;
  }
}

PIROWEND_EXPORT bool PIROWEND_CALL
zandel_plugin_changeicon(IconHandle* icon, IconClickHandler* click_handler) noexcept {
  try {
    return plugin_changeicon(icon, click_handler);
  } catch (...) {
    return false;
  }
}

}  // extern "C"
