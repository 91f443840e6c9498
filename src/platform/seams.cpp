#include "platform/seams.h"

namespace pirowend::platform {

Seams& seams() {
  static Seams instance;
  return instance;
}

Clock& clock() {
  Clock* fake = seams().clock;
  return fake ? *fake : system_clock();
}

}  // namespace pirowend::platform
