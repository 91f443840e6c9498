#include "plugin_library.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/icons.h"

namespace host {
namespace {

// The allocator handed to plug-ins: it may move the block; its content is not kept for them.
void* PIROWEND_CALL host_alloc(void* old_block, std::uint32_t size) {
  return std::realloc(old_block, size);
}

}  // namespace

int icon_number(pirowend::IconHandle icon) {
  return icon ? static_cast<const pirowend::platform::EmbeddedIcon*>(icon)->id : 0;
}

std::unique_ptr<PluginLibrary> PluginLibrary::load(const std::string& path, std::string& error) {
  std::unique_ptr<PluginLibrary> plugin(new PluginLibrary());
  plugin->path_ = path;
  plugin->library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!plugin->library_) {
    error = dlerror();
    return nullptr;
  }
  plugin->init_ = reinterpret_cast<decltype(init_)>(dlsym(plugin->library_, "zandel_plugin_init"));
  plugin->uninit_ =
      reinterpret_cast<decltype(uninit_)>(dlsym(plugin->library_, "zandel_plugin_uninit"));
  plugin->changeicon_ =
      reinterpret_cast<decltype(changeicon_)>(dlsym(plugin->library_, "zandel_plugin_changeicon"));
  if (!plugin->init_ || !plugin->uninit_ || !plugin->changeicon_) {
    error = "not a plug-in: the entry points are missing";
    return nullptr;
  }
  return plugin;
}

PluginLibrary::~PluginLibrary() {
  stop();
  if (library_) dlclose(library_);
  std::free(title_block_);
  std::free(command_block_);
}

void PluginLibrary::start() {
  std::int32_t count = 0;
  init_(&title_block_, &icon_, &command_block_, &count, 0, 0, 0, 0, host_alloc, 0, 0);
  started_ = true;
  title_ = title_block_ ? title_block_ : "";
  for (std::int32_t n = 0; command_block_ && n < count; ++n) {
    const auto& record = command_block_[n];
    commands_.push_back(
        {std::string(record.caption, strnlen(record.caption, sizeof record.caption)), record.icon,
         record.handler});
  }
}

bool PluginLibrary::poll_changed(pirowend::IconHandle& icon) {
  pirowend::IconClickHandler handler = click_;
  if (!started_ || !changeicon_(&icon, &handler)) return false;
  click_ = handler;
  return true;
}

void PluginLibrary::open_changed_page() {
  if (click_) click_(nullptr, 0);
}

void PluginLibrary::run_command(std::size_t index) {
  if (index < commands_.size() && commands_[index].handler) commands_[index].handler(0, 0);
}

void PluginLibrary::stop() {
  if (started_) uninit_();
  started_ = false;
}

std::vector<std::unique_ptr<PluginLibrary>> load_plugins(const std::string& folder,
                                                         std::vector<std::string>& errors) {
  std::vector<std::string> paths;
  std::error_code failed;
  for (const auto& entry : std::filesystem::directory_iterator(folder, failed)) {
    if (entry.path().extension() == ".so") paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<std::unique_ptr<PluginLibrary>> plugins;
  for (const auto& path : paths) {
    std::string error;
    if (auto plugin = PluginLibrary::load(path, error)) {
      plugins.push_back(std::move(plugin));
    } else {
      errors.push_back(path + ": " + error);
    }
  }
  return plugins;
}

}  // namespace host
