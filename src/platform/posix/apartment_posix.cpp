// The worker's apartment, POSIX half: nothing to enter.
#include "platform/apartment.h"

namespace pirowend::platform {

ApartmentScope::ApartmentScope() = default;
ApartmentScope::~ApartmentScope() = default;

}  // namespace pirowend::platform
