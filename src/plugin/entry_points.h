#pragma once
// What the exports do: start-up, shut-down, the icon poll, and the two callbacks of the
// plug-in's own (the favorites command lives with the settings).
#include <cstdint>
#include <string>

#include "plugin/plugin_api.h"

namespace pirowend {

inline constexpr std::uint32_t kShutdownWaitMs = 30000;

bool plugin_init(char** title_slot, IconHandle* icon, PluginCommand** command_slot,
                 std::int32_t* command_count, HostAllocFn host_alloc);
int plugin_uninit();
bool plugin_changeicon(IconHandle* icon, IconClickHandler* click_handler);

void PIROWEND_CALL request_immediate_check(std::uintptr_t, std::uintptr_t);
std::intptr_t PIROWEND_CALL open_changed_page(WindowHandle owner, std::uintptr_t);

// The settings file's path for the host's directory (with its separator at the end):
// "plugins/pirowend.ini" in it. Empty when it does not fit the settings path buffer; the same
// when the host's executable path cannot be read or has no directory. The reads then give
// the defaults, and nothing is ever written: no other file stands in for the settings.
std::string settings_path_for(const std::string& host_directory);

}  // namespace pirowend
