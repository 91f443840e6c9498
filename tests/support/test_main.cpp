// The tests' main: no test may open a desktop dialog, whatever the desktop around it.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
#ifndef _WIN32
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
#endif
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
