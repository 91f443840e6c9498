#pragma once
// One plug-in loaded by the host: its library, its three entry points, and what it handed
// over at start-up.
#include <memory>
#include <string>
#include <vector>

#include "plugin/plugin_api.h"

namespace host {

class PluginLibrary {
 public:
  // Loads the library and resolves its entry points; null with a reason when it cannot.
  static std::unique_ptr<PluginLibrary> load(const std::string& path, std::string& error);
  ~PluginLibrary();

  void start();
  // True while a changed page waits; the click handler is kept for open_changed_page().
  bool poll_changed(pirowend::IconHandle& icon);
  void open_changed_page();
  void run_command(std::size_t index);
  void stop();

  const std::string& title() const { return title_; }
  struct Command {
    std::string caption;
    pirowend::IconHandle icon;
    pirowend::CommandHandler handler;
  };
  const std::vector<Command>& commands() const { return commands_; }
  pirowend::IconHandle icon() const { return icon_; }
  const std::string& path() const { return path_; }

 private:
  PluginLibrary() = default;

  std::string path_;
  void* library_ = nullptr;
  decltype(&zandel_plugin_init) init_ = nullptr;
  decltype(&zandel_plugin_uninit) uninit_ = nullptr;
  decltype(&zandel_plugin_changeicon) changeicon_ = nullptr;
  char* title_block_ = nullptr;
  pirowend::PluginCommand* command_block_ = nullptr;
  std::string title_;
  pirowend::IconHandle icon_ = nullptr;
  std::vector<Command> commands_;
  pirowend::IconClickHandler click_ = nullptr;
  bool started_ = false;
};

// Every plug-in in the folder, in name order; what could not be loaded is reported in errors.
std::vector<std::unique_ptr<PluginLibrary>> load_plugins(const std::string& folder,
                                                         std::vector<std::string>& errors);

// The number of the icon behind a handle, or 0.
int icon_number(pirowend::IconHandle icon);

}  // namespace host
