// The 8-bit encoding on Linux is UTF-8.
#include "platform/text.h"

#include <gtest/gtest.h>

namespace pirowend::platform {
namespace {

TEST(Text, RoundTripsEveryPlane) {
  const std::string text = "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 plain";
  std::u16string wide = to_utf16(text);
  EXPECT_EQ(wide, u"caf\u00e9 \u20ac \U0001F600 plain");
  EXPECT_EQ(from_utf16(wide), text);
}

TEST(Text, LoneSurrogatesBecomeReplacementCharacters) {
  std::u16string wide = u"a";
  wide += static_cast<char16_t>(0xD800);
  wide += u"b";
  wide += static_cast<char16_t>(0xDC00);
  EXPECT_EQ(from_utf16(wide),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

TEST(Text, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(to_utf16("a\xFF"
                     "b\xC3"),
            u"a\ufffdb\ufffd");
  EXPECT_EQ(to_utf16("\xED\xA0\x80"), u"\ufffd\ufffd\ufffd");  // an encoded surrogate
}

TEST(Text, LongTextsAreConvertedWhole) {
  std::string text(1 << 20, 'a');
  text += "\xE2\x82\xAC";
  EXPECT_EQ(from_utf16(to_utf16(text)), text);
}

}  // namespace
}  // namespace pirowend::platform
