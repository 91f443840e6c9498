#pragma once
// The host's input: single keys from a terminal, or lines from a pipe or file, so that the host
// can be used by hand and scripted alike.
#include <optional>
#include <string>

namespace host {

class Console {
 public:
  Console();
  ~Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;

  bool interactive() const { return interactive_; }
  // The next command, waiting at most timeout_ms: one key in a terminal, one line otherwise.
  // nullopt when nothing came; after the end of the input, nothing ever comes.
  std::optional<std::string> next(int timeout_ms);
  // Asks a yes-or-no question in a terminal; false elsewhere.
  bool confirm(const std::string& question);

 private:
  bool interactive_;
  bool ended_ = false;
  bool raw_ = false;
  std::string pending_;
};

}  // namespace host
