// The worker's apartment, Windows half: a single-threaded COM apartment.
#include "platform/win32/windows_api.h"

#include <objbase.h>

#include "platform/apartment.h"

namespace pirowend::platform {

ApartmentScope::ApartmentScope() { CoInitialize(nullptr); }
ApartmentScope::~ApartmentScope() { CoUninitialize(); }

}  // namespace pirowend::platform
