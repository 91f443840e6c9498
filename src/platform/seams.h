#pragma once
// The run-time seams: the few things a test may put in place of the real ones. Everything
// else of the platform is chosen at link time. One record, default-constructed for production.
#include <cstdint>
#include <string>

#include "platform/browser_automation.h"
#include "platform/clock.h"

namespace pirowend::platform {

struct Seams {
  Clock* clock = nullptr;                      // null: system_clock()
  std::string host_directory;                  // empty: the directory of the host's executable
  automation::BrowserFactory browser_factory;  // empty: the platform's own engine
};

Seams& seams();

// The clock the worker uses: the seam's, or the system's.
Clock& clock();

}  // namespace pirowend::platform
