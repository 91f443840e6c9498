#pragma once
// The plug-in's boundary with its host: the records it hands over and the exported entry
// points. Hosts include this header; the layouts are fixed.
#include <cstddef>
#include <cstdint>

#include "plugin/plugin_state.h"

#ifdef _WIN32
#define PIROWEND_EXPORT
#else
#define PIROWEND_EXPORT __attribute__((visibility("default")))
#endif

namespace pirowend {

// One menu command. On Windows: 268 bytes, fields at 0, 4, 260 and 264. Elsewhere the handler
// and the icon are pointer-sized and the record is padded to pointer alignment (280 bytes on
// 64-bit Linux: handler 0, caption 8, icon 264, flags 272).
struct PluginCommand {
  CommandHandler handler;
  char caption[256];
  IconHandle icon;
  std::uint32_t flags;
};

#ifdef _WIN32
static_assert(sizeof(void*) == 4, "the Windows plug-in is 32-bit");
static_assert(sizeof(PluginCommand) == 268);
static_assert(offsetof(PluginCommand, caption) == 4);
static_assert(offsetof(PluginCommand, icon) == 260);
static_assert(offsetof(PluginCommand, flags) == 264);
#endif

inline constexpr std::uint32_t kTitleBlockBytes = 20;
inline constexpr std::uint32_t kCommandCount = 2;
inline constexpr std::uint32_t kCommandTableBytes = kCommandCount * sizeof(PluginCommand);
inline constexpr std::uint32_t kCommandFlags = 1024;
inline constexpr int kPluginIcon = 101;
inline constexpr int kImmediateCheckIcon = 102;
inline constexpr int kExportFavoritesIcon = 103;

}  // namespace pirowend

extern "C" {

PIROWEND_EXPORT bool PIROWEND_CALL zandel_plugin_init(
    char** title_slot, pirowend::IconHandle* icon, pirowend::PluginCommand** command_slot,
    std::int32_t* command_count, std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t,
    pirowend::HostAllocFn host_alloc, std::uintptr_t, std::uintptr_t) noexcept;

// Stops the worker; nonzero when its handle was closed.
PIROWEND_EXPORT int PIROWEND_CALL zandel_plugin_uninit() noexcept;

PIROWEND_EXPORT bool PIROWEND_CALL zandel_plugin_changeicon(
    pirowend::IconHandle* icon, pirowend::IconClickHandler* click_handler) noexcept;

}  // extern "C"
