#include "plugin/plugin_state.h"

namespace pirowend {
namespace {

constinit PluginState state{};

}  // namespace

PluginState& plugin_state() { return state; }

}  // namespace pirowend
