#include "plugin/plugin_state.h"

#include <cstdlib>

namespace pirowend {
namespace {

constinit PluginState state{};

// When the library is unloaded, after shut-down, the last changed line goes with it: a host
// that loads the plug-in again and again must not lose memory each time.
struct ReleaseAtUnload {
  ~ReleaseAtUnload() {
    if (state.running) return;
    std::free(state.changed_url);
    state.changed_url = nullptr;
  }
} release_at_unload;

}  // namespace

PluginState& plugin_state() { return state; }

}  // namespace pirowend
