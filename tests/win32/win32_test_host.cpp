// A Windows host for the plug-in, run under wine: loads plugins\pirowend.dll beside it, calls
// the entry points by their decorated names and checks what the host sees.
#include "platform/win32/windows_api.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {

int passed = 0, failed = 0;

void check(bool ok, const char* what) {
  (ok ? passed : failed) += 1;
  std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
}

constexpr unsigned char kFill = 0xAB;
void* last_old_block = reinterpret_cast<void*>(1);

void* __stdcall host_alloc(void* old_block, std::uint32_t size) {
  last_old_block = old_block;
  void* block = std::malloc(size);
  std::memset(block, kFill, size);
  return block;
}

struct Command {  // the host's view of a command record: 268 bytes
  void(__stdcall* handler)(std::uintptr_t, std::uintptr_t);
  char caption[256];
  void* icon;
  std::uint32_t flags;
};
static_assert(sizeof(Command) == 268);

using InitFn = bool(__stdcall*)(char**, void**, Command**, std::int32_t*, std::uintptr_t,
                                std::uintptr_t, std::uintptr_t, std::uintptr_t,
                                void*(__stdcall*)(void*, std::uint32_t), std::uintptr_t,
                                std::uintptr_t);
using UninitFn = int(__stdcall*)();
using ChangeIconFn = bool(__stdcall*)(void**, void**);

// An entry point by name, as the function type the host expects.
template <typename Function>
Function entry(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool untouched(const char* field, std::size_t from, std::size_t size) {
  for (std::size_t n = from; n < size; ++n) {
    if (static_cast<unsigned char>(field[n]) != kFill) return false;
  }
  return true;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

int main() {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dir(exe);
  dir.resize(dir.rfind('\\') + 1);
  std::printf("host at %s\n", exe);

  // The favorites and the settings file, so that the import shows where the plug-in looks.
  const std::string favorites = dir + "favorites-test";
  CreateDirectoryA(favorites.c_str(), nullptr);
  write_file(favorites + "\\one.url", "[InternetShortcut]\r\nURL=http://from-favorites.test/\r\n");
  HKEY key = nullptr;
  RegCreateKeyA(HKEY_CURRENT_USER,
                "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", &key);
  RegSetValueExA(key, "Favorites", 0, REG_SZ, reinterpret_cast<const BYTE*>(favorites.c_str()),
                 static_cast<DWORD>(favorites.size() + 1));
  RegCloseKey(key);
  const std::string settings = dir + "plugins\\pirowend.ini";
  write_file(settings, "[PAGES]\r\nhttp://old.test/\r\n");

  HMODULE plugin = LoadLibraryA((dir + "plugins\\pirowend.dll").c_str());
  check(plugin != nullptr, "LoadLibrary of plugins\\pirowend.dll");
  if (!plugin) {
    std::printf("%d passed, %d failed\n", passed, failed);
    return 1;
  }
  auto init = entry<InitFn>(plugin, "_zandel_plugin_init@44");
  auto uninit = entry<UninitFn>(plugin, "_zandel_plugin_uninit@0");
  auto changeicon = entry<ChangeIconFn>(plugin, "_zandel_plugin_changeicon@8");
  check(init && uninit && changeicon, "decorated names resolve");
  check(init == entry<InitFn>(plugin, "zandel_plugin_init") &&
            uninit == entry<UninitFn>(plugin, "zandel_plugin_uninit") &&
            changeicon == entry<ChangeIconFn>(plugin, "zandel_plugin_changeicon"),
        "plain and decorated names lead to the same functions");

  char* title = reinterpret_cast<char*>(0x1234);
  void* icon = nullptr;
  Command* commands = nullptr;
  std::int32_t count = -1;
  int unused[6] = {5, 6, 7, 8, 10, 11};
  auto arg = [&](int n) { return reinterpret_cast<std::uintptr_t>(&unused[n]); };
  bool started = init(&title, &icon, &commands, &count, arg(0), arg(1), arg(2), arg(3), host_alloc,
                      arg(4), arg(5));
  check(started, "zandel_plugin_init returns true");
  check(title && std::strcmp(title, "Pirowend") == 0, "title block begins with \"Pirowend\"");
  check(title && untouched(title, 9, 20), "title block behind the terminator as allocated");
  check(icon != nullptr, "the plug-in's icon 101 is loaded");
  check(count == 2, "two commands");
  check(commands && std::strcmp(commands[0].caption, "Immediate check") == 0 &&
            std::strcmp(commands[1].caption, "Export IE favorites") == 0,
        "captions");
  check(commands && untouched(commands[0].caption, 16, 256) &&
            untouched(commands[1].caption, 20, 256),
        "caption fields behind the terminators as allocated");
  check(commands && commands[0].flags == 1024 && commands[1].flags == 1024, "flags 1024");
  check(commands && commands[0].icon && commands[1].icon && commands[0].icon != commands[1].icon,
        "command icons 102 and 103 are loaded");
  check(unused[0] == 5 && unused[1] == 6 && unused[2] == 7 && unused[3] == 8 && unused[4] == 10 &&
            unused[5] == 11,
        "arguments 5 to 8, 10 and 11 untouched");

  void* polled_icon = reinterpret_cast<void*>(0x77);
  void* handler = reinterpret_cast<void*>(0x88);
  check(!changeicon(&polled_icon, &handler) && polled_icon == reinterpret_cast<void*>(0x77) &&
            handler == reinterpret_cast<void*>(0x88),
        "poll without a change leaves the host's values");

  if (commands) commands[1].handler(0, 0);
  const std::string expected =
      std::string("[PAGES]\r\nhttp://from-favorites.test/\r\nhttp://old.test/\r\n") + '\0';
  check(read_file(settings) == expected,
        "Export IE favorites writes the settings file beside the host");

  DWORD start = GetTickCount();
  int closed = uninit();
  DWORD took = GetTickCount() - start;
  check(closed != 0, "zandel_plugin_uninit closes the worker's handle");
  check(took < 2000, "shut-down during the wait is prompt");
  std::printf("shut-down took %lu ms\n", static_cast<unsigned long>(took));
  FreeLibrary(plugin);

  std::printf("%d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
