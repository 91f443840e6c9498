#pragma once
// The one message the plug-in shows: a modal box with an OK button and a warning icon.
#include <string>

namespace pirowend::platform {

// Returns once the user has closed it. Where no desktop is there to show it, the message goes
// to standard error and it returns at once: a headless run never blocks on it.
void show_warning(const std::string& caption, const std::string& text);

}  // namespace pirowend::platform
