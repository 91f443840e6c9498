#pragma once
// The worker's apartment: on Windows a single-threaded COM apartment for the thread's life;
// elsewhere only the rule that every browser call happens on this one thread.
namespace pirowend::platform {

class ApartmentScope {
 public:
  ApartmentScope();
  ~ApartmentScope();
  ApartmentScope(const ApartmentScope&) = delete;
  ApartmentScope& operator=(const ApartmentScope&) = delete;
};

}  // namespace pirowend::platform
