#pragma once
// What tests and diagnostics may ask of a Chromium engine beyond the automation interface.
#include <string>

#include "platform/browser_automation.h"

namespace pirowend::chromium {

// Runs script in the page as the user would, with a user gesture; false when the browser is
// not a Chromium engine or did not answer.
bool run_as_user(automation::WebBrowser& browser, const std::string& script);

// The number of page targets (tabs and windows) the browser has open; -1 when unknown.
int open_pages(automation::WebBrowser& browser);

}  // namespace pirowend::chromium
