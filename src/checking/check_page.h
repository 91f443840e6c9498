#pragma once
// Checks one page-list line in a started browser: loads it, waits for the top-level document,
// takes the body's text and hands it to change detection.
#include <cstdint>

#include "platform/browser_automation.h"

namespace pirowend {

inline constexpr int kPageGaveNoText = -1;
inline constexpr int kPageUnchanged = 0;
inline constexpr int kPageChanged = 1;

// How long a page may take before it is stopped: a page that never completes, or a lost event
// connection, must not hold the worker for ever.
inline constexpr std::uint32_t kPageWaitLimitMs = 60000;
inline constexpr std::uint32_t kPagePollMs = 10;

// -1: the page gave no text (refused navigation, null text, a page that did not complete in
// time, or shut-down during the wait); 0: unchanged or nothing to compare; 1: changed and
// recorded.
int check_page(const char* line, automation::WebBrowser* browser);

}  // namespace pirowend
