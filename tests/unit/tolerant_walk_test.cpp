#include "checking/tolerant_walk.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace pirowend {
namespace {

// The walk written step by step, byte by byte, as a reference for the fast one.
bool reference_walk(const std::string& text, const std::string& stored, std::int64_t w) {
  auto at = [](const std::string& s, std::int64_t p) {
    return p < static_cast<std::int64_t>(s.size()) ? s[static_cast<std::size_t>(p)] : '\0';
  };
  auto windows = [&](std::int64_t a, std::int64_t b) {
    for (std::int64_t n = 0; n < 2 * w; ++n) {
      if (at(text, a + n) != at(stored, b + n)) return false;
      if (at(text, a + n) == '\0') return true;
    }
    return true;
  };
  const std::int64_t length = static_cast<std::int64_t>(text.size());
  std::int64_t i = 0, j = 0;
  while (true) {
    if (at(stored, j) != at(text, i)) {
      if (w < 0) return false;
      std::int64_t i2 = i + w, j2 = j + w;
      bool found = false;
      for (std::int64_t k = 0; k <= w && !found; ++k) {
        if (windows(i2, j2 + k)) {
          j = j2 + k, i = i2, found = true;
        } else if (windows(i2 + k, j2)) {
          i = i2 + k, j = j2, found = true;
        }
      }
      if (!found) return false;
    }
    ++i, ++j;
    if (i >= length) return true;
  }
}

std::string stored_buffer(const std::string& stored, std::size_t text_length) {
  std::string buffer = stored.substr(0, text_length + 1);
  buffer.resize(text_length + 1, '\0');
  return buffer;
}

TEST(TolerantWalk, StepsOfThePriceExample) {
  // Stored "price 45 EUR", new "price 145 EUR": bridged at k = 1 by the second test.
  const std::string text = "price 145 EUR";
  EXPECT_TRUE(tolerant_walk_bridges(text, stored_buffer("price 45 EUR", text.size()), 2));
  EXPECT_FALSE(tolerant_walk_bridges(text, stored_buffer("price 45 EUR", text.size()), -1));
}

struct PropertyCase {
  const char* name;
  std::string stored;
  std::string text;
  std::int64_t w;
  bool bridged;
};

void PrintTo(const PropertyCase& c, std::ostream* out) { *out << c.name; }

class TolerantWalkProperty : public ::testing::TestWithParam<PropertyCase> {};

TEST_P(TolerantWalkProperty, Holds) {
  const PropertyCase& c = GetParam();
  EXPECT_EQ(tolerant_walk_bridges(c.text, stored_buffer(c.stored, c.text.size()), c.w), c.bridged);
  EXPECT_EQ(reference_walk(c.text, stored_buffer(c.stored, c.text.size()), c.w), c.bridged);
}

const std::string kBody = "The quick brown fox jumps over the lazy dog near the river bank. ";

INSTANTIATE_TEST_SUITE_P(
    Cases, TolerantWalkProperty,
    ::testing::Values(
        PropertyCase{"replacement_of_w_bytes", kBody + kBody, kBody + "XYZ" + kBody.substr(3), 3,
                     true},
        PropertyCase{
            "replacement_longer_than_the_window_allows", kBody,
            "The quick brown XXXXXXXXXXXXXXXXXXXXXXXXXXXX the lazy dog near the river bank. ", 3,
            false},
        PropertyCase{"insertion_of_w_bytes", kBody, kBody.substr(0, 20) + "123" + kBody.substr(20),
                     3, true},
        PropertyCase{"deletion_of_w_bytes", kBody, kBody.substr(0, 20) + kBody.substr(23), 3, true},
        PropertyCase{"insertion_of_more_than_w", kBody,
                     kBody.substr(0, 20) + "12345" + kBody.substr(20), 3, false},
        PropertyCase{"append_of_2w_bytes", kBody, kBody + "123456", 3, true},
        PropertyCase{"append_of_more_than_2w", kBody, kBody + "1234567", 3, false},
        PropertyCase{"difference_in_the_last_w_bytes", kBody,
                     kBody.substr(0, kBody.size() - 3) + "XYZ", 3, true},
        PropertyCase{"zero_width_bridges_anything", kBody, "entirely different text", 0, true},
        PropertyCase{"negative_width_bridges_nothing", kBody,
                     kBody.substr(0, 10) + "X" + kBody.substr(11), -1, false},
        PropertyCase{"huge_width_reads_past_both_ends", "abc", "abd", 1 << 30, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TolerantWalk, AgreesWithTheReferenceOnRandomEdits) {
  std::mt19937 random(12345);
  const std::string alphabet = "ab c";  // a small alphabet makes repeats and near-misses common
  int checked = 0, bridged = 0;
  for (int round = 0; round < 4000; ++round) {
    std::string stored;
    std::size_t length = 1 + random() % 60;
    for (std::size_t n = 0; n < length; ++n) stored += alphabet[random() % alphabet.size()];
    std::string text = stored;
    int edits = 1 + static_cast<int>(random() % 3);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      std::size_t at = random() % text.size();
      std::size_t span = 1 + random() % 4;
      switch (random() % 3) {
        case 0:
          text.insert(at, std::string(span, 'x'));
          break;
        case 1:
          text.erase(at, span);
          break;
        default:
          text.replace(at, std::min(span, text.size() - at), std::string(span, 'y'));
      }
    }
    if (text.empty()) continue;
    const std::int64_t widths[] = {-1, 0, 1, 2, 3, 5, 20};
    std::int64_t w = widths[random() % 7];
    std::string buffer = stored_buffer(stored, text.size());
    bool expected = reference_walk(text, buffer, w);
    ASSERT_EQ(tolerant_walk_bridges(text, buffer, w), expected)
        << "stored '" << stored << "' text '" << text << "' w " << w;
    ++checked;
    bridged += expected;
  }
  EXPECT_GT(checked, 3000);
  EXPECT_GT(bridged, 100);  // the table exercises both outcomes
  EXPECT_LT(bridged, checked - 100);
}

}  // namespace
}  // namespace pirowend
