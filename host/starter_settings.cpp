#include "starter_settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace host {

const char kStarterSettings[] =
    "; pirowend settings. Lines starting with ';' are comments; keep them out of [PAGES].\r\n"
    ";\r\n"
    "; interval   minutes between two checks of the page list (0: one minute)\r\n"
    "; sly        0: any change of a page's text counts; 1: small edits are tolerated\r\n"
    "; sly_count  how many characters an edit may span when sly is 1\r\n"
    ";\r\n"
    "; Under [PAGES] put one address per line, for example https://example.org/news\r\n"
    "[SETTINGS]\r\n"
    "interval=30\r\n"
    "sly=0\r\n"
    "sly_count=20\r\n"
    "[PAGES]\r\n";

bool write_starter_settings(const std::string& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const std::size_t length = std::strlen(kStarterSettings);
  bool written = write(fd, kStarterSettings, length) == static_cast<ssize_t>(length);
  return close(fd) == 0 && written;
}

}  // namespace host
