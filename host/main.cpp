// pirowend-host: loads every plug-in from the "plugins" folder beside it, shows what they hand
// over, polls them for a changed page, and runs their commands on a key.
//
// Keys (in a terminal) or lines (from a pipe): 1, 2, ... run the commands in the order shown;
// o opens the changed page; q quits. Ctrl-C and SIGTERM quit as q does.
#include <signal.h>
#include <unistd.h>

#include <sys/stat.h>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "console.h"
#include "plugin_library.h"
#include "starter_settings.h"

namespace {

std::atomic<bool> quit_requested{false};

void on_signal(int) { quit_requested = true; }

std::string executable_directory() {
  char buffer[PATH_MAX + 1];
  ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
  if (length <= 0) return "./";
  std::string path(buffer, static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/') + 1);
}

bool exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0;
}

void offer_starter_settings(const std::string& path, bool create, host::Console& console) {
  if (exists(path)) return;
  if (create ||
      console.confirm("There is no settings file at " + path + ". Create a starter file?")) {
    if (host::write_starter_settings(path)) {
      std::printf("Wrote a starter settings file: %s\nAdd the pages to watch under [PAGES].\n",
                  path.c_str());
    } else {
      std::printf("Could not write %s: %s\n", path.c_str(), std::strerror(errno));
    }
  } else {
    std::printf(
        "No settings file at %s: nothing is watched until it exists.\n"
        "(pirowend-host --create-settings writes a commented starter file.)\n",
        path.c_str());
  }
}

void show(const host::PluginLibrary& plugin, std::size_t& first_key) {
  std::printf("Plug-in \"%s\" (icon %d) from %s\n", plugin.title().c_str(),
              host::icon_number(plugin.icon()), plugin.path().c_str());
  for (const auto& command : plugin.commands()) {
    std::printf("  [%zu] %s (icon %d)\n", first_key++, command.caption.c_str(),
                host::icon_number(command.icon));
  }
}

}  // namespace

int main(int argc, char** argv) {
  bool create_settings = false;
  for (int n = 1; n < argc; ++n) {
    if (std::strcmp(argv[n], "--create-settings") == 0) {
      create_settings = true;
    } else {
      std::fprintf(stderr, "usage: %s [--create-settings]\n", argv[0]);
      return 2;
    }
  }
  setvbuf(stdout, nullptr, _IOLBF, 0);
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);

  const std::string plugins_folder = executable_directory() + "plugins";
  host::Console console;
  offer_starter_settings(plugins_folder + "/pirowend.ini", create_settings, console);

  std::vector<std::string> errors;
  auto plugins = host::load_plugins(plugins_folder, errors);
  for (const auto& error : errors) std::fprintf(stderr, "Not loaded: %s\n", error.c_str());
  if (plugins.empty()) {
    std::fprintf(stderr, "No plug-in found in %s\n", plugins_folder.c_str());
    return 1;
  }
  std::size_t key = 1;
  for (auto& plugin : plugins) {
    plugin->start();
    show(*plugin, key);
  }
  std::printf("Keys: 1-%zu run a command, o opens the changed page, q quits.\nWatching.\n",
              key - 1);

  std::vector<bool> waiting(plugins.size(), false);
  while (!quit_requested) {
    for (std::size_t n = 0; n < plugins.size(); ++n) {
      pirowend::IconHandle icon = nullptr;
      bool changed = plugins[n]->poll_changed(icon);
      if (changed && !waiting[n]) {
        std::printf("Changed page waiting (icon %d): press o to open it.\n",
                    host::icon_number(icon));
      }
      waiting[n] = changed;
    }
    auto command = console.next(250);
    if (!command || command->empty()) continue;
    const char key_pressed = (*command)[0];
    if (key_pressed == 'q') break;
    if (key_pressed == 'o') {
      bool opened = false;
      for (std::size_t n = 0; n < plugins.size(); ++n) {
        if (!waiting[n]) continue;
        plugins[n]->open_changed_page();
        waiting[n] = false;
        opened = true;
        std::printf("Opened the changed page.\n");
      }
      if (!opened) std::printf("No changed page waits.\n");
      continue;
    }
    if (key_pressed >= '1' && key_pressed <= '9') {
      std::size_t index = static_cast<std::size_t>(key_pressed - '1');
      for (auto& plugin : plugins) {
        if (index < plugin->commands().size()) {
          std::printf("%s\n", plugin->commands()[index].caption.c_str());
          plugin->run_command(index);
          break;
        }
        index -= plugin->commands().size();
      }
    }
  }
  std::printf("Stopping.\n");
  plugins.clear();  // shuts each plug-in down, then unloads it
  std::printf("Stopped.\n");
  return 0;
}
