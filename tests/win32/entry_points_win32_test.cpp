// Paths of the Windows plug-in.
#include <gtest/gtest.h>

#include "plugin/entry_points.h"

namespace pirowend {
namespace {

TEST(SettingsPath, LiesInPluginsBesideTheHost) {
  EXPECT_EQ(settings_path_for("C:\\Tools\\Host\\"), "C:\\Tools\\Host\\plugins\\pirowend.ini");
  EXPECT_EQ(settings_path_for("C:\\"), "C:\\plugins\\pirowend.ini");
}

TEST(SettingsPath, DirectoryTooLongForTheBufferGivesNone) {
  const std::string longest(239, 'x');  // with "plugins\pirowend.ini" and its NUL: 260 bytes
  EXPECT_EQ(settings_path_for(longest).size(), 259u);
  EXPECT_EQ(settings_path_for(longest + "y"), "");
}

}  // namespace
}  // namespace pirowend
