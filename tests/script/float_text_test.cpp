// The dump's float text against the standard library's std::to_chars, which
// it stands in for where the standard library has none: the same text on
// millions of floats, random and on the grids the game's coordinates lie on.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "script/float_text.h"

namespace torvin::script {
namespace {

// The text of one float, by either writer.
struct Text {
  char chars[64];
  std::size_t size = 0;

  std::string_view view() const { return {chars, size}; }
};

Text ours(float value) {
  Text text;
  const auto result = floatToChars(text.chars, text.chars + sizeof text.chars, value);
  EXPECT_EQ(result.ec, std::errc{});
  text.size = static_cast<std::size_t>(result.ptr - text.chars);
  return text;
}

Text standard(float value) {
  Text text;
  const auto result = std::to_chars(text.chars, text.chars + sizeof text.chars, value);
  text.size = static_cast<std::size_t>(result.ptr - text.chars);
  return text;
}

// Compares the two on value(i) for every i below count; reports how many
// differ and the first few.
template <typename Value>
void expectSameText(const std::string& what, long count, Value value) {
  long differing = 0;
  std::string examples;
  for (long i = 0; i < count; ++i) {
    const float f = value(i);
    const Text mine = ours(f);
    const Text theirs = standard(f);
    if (mine.view() != theirs.view() && ++differing <= 5) {
      examples += "\n  bits " + std::to_string(std::bit_cast<std::uint32_t>(f)) + ": " +
                  std::string(mine.view()) + " instead of " + std::string(theirs.view());
    }
  }
  EXPECT_EQ(differing, 0) << what << ": " << differing << " of " << count << " differ" << examples;
}

TEST(FloatText, WritesWhatTheDumpShows) {
  const struct {
    float value;
    const char* text;
  } rows[] = {
      {182.0f, "182"},
      {176.8f, "176.8"},
      {-8.0f, "-8"},
      {0.0f, "0"},
      {-0.0f, "-0"},
      {0.001f, "0.001"},
      {1e-5f, "1e-05"},                   // the exponent form is shorter
      {1e10f, "1e+10"},                   //
      {16777216.0f, "16777216"},          // fixed when no longer
      {123456790528.0f, "123456790528"},  // a whole number is written exactly
      {std::numeric_limits<float>::max(), "3.4028235e+38"},
      {std::numeric_limits<float>::denorm_min(), "1e-45"},
      {std::numeric_limits<float>::infinity(), "inf"},
      {-std::numeric_limits<float>::infinity(), "-inf"},
      {std::numeric_limits<float>::quiet_NaN(), "nan"},
      {-std::numeric_limits<float>::quiet_NaN(), "-nan"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ours(row.value).view(), row.text);
    EXPECT_EQ(standard(row.value).view(), row.text);
  }
}

TEST(FloatText, RefusesABufferTooShort) {
  char text[5];
  const auto result = floatToChars(text, text + sizeof text, 176.8125f);
  EXPECT_EQ(result.ec, std::errc::value_too_large);
  EXPECT_EQ(result.ptr, text + sizeof text);
  EXPECT_EQ(floatToChars(text, text + 3, 182.0f).ptr, text + 3);
}

TEST(FloatText, MatchesTheStandardLibraryOnRandomBits) {
  std::mt19937 bits(19);
  expectSameText("random bit patterns", 1L << 21, [&bits](long) {
    return std::bit_cast<float>(static_cast<std::uint32_t>(bits()));
  });
}

TEST(FloatText, MatchesTheStandardLibraryOnWholeNumbers) {
  expectSameText("0 to 2^20", 1L << 20, [](long i) { return static_cast<float>(i); });
  // Every 127th float from 2^24 to 2^50, where the shortest digits of a whole
  // number may be fewer than its own.
  const auto from = std::bit_cast<std::uint32_t>(16777216.0f);
  expectSameText(
      "2^24 to 2^50", (std::bit_cast<std::uint32_t>(0x1p50f) - from) / 127,
      [from](long i) { return std::bit_cast<float>(from + static_cast<std::uint32_t>(i) * 127); });
}

TEST(FloatText, MatchesTheStandardLibraryOnFractions) {
  for (const int parts : {8, 10, 100}) {
    const std::string what = "i/" + std::to_string(parts);
    // Computed in double, then stored, as the game does, and in float.
    expectSameText(what, 1L << 19, [parts](long i) {
      return static_cast<float>(static_cast<double>(i - 4096) / parts);
    });
    expectSameText(what, 1L << 19,
                   [parts](long i) { return static_cast<float>(i) / static_cast<float>(parts); });
  }
}

}  // namespace
}  // namespace torvin::script
