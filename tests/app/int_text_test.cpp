#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/int_text.h"

namespace {

struct IntCase {
  const wchar_t* text;
  std::optional<int32_t> expected;
};

std::string Narrow(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

TEST(IntText, ParsesTheGrammarAndRejectsEverythingElse) {
  const IntCase cases[] = {
      {L"255", 255},
      {L" 255", 255},
      {L"   -7", -7},
      {L"+255", 255},
      {L"0", 0},
      {L"-0", 0},
      {L"000000000000255", 255},
      {L"0x0000FF", 255},
      {L"0X1a", 26},
      {L"$0000FF", 255},
      {L"x1A", 26},
      {L"X1A", 26},
      {L"-$10", -16},
      {L"+$10", 16},
      {L"-0x10", -16},
      {L"$FFFFFFFF", -1},
      {L"$80000000", INT32_MIN},
      {L"-$80000000", INT32_MIN},
      {L"-$FFFFFFFF", 1},
      {L"$000000001", 1},  // leading zeros are not significant
      {L"-2147483648", INT32_MIN},
      {L"2147483647", INT32_MAX},
      {L"2147483648", std::nullopt},
      {L"-2147483649", std::nullopt},
      {L"99999999999999999999", std::nullopt},
      {L"$123456789", std::nullopt},
      {L"255 ", std::nullopt},
      {L"", std::nullopt},
      {L" ", std::nullopt},
      {L"-", std::nullopt},
      {L"+", std::nullopt},
      {L"+-1", std::nullopt},
      {L"--1", std::nullopt},
      {L"0x", std::nullopt},
      {L"$", std::nullopt},
      {L"x", std::nullopt},
      {L"$G", std::nullopt},
      {L"1 2", std::nullopt},
      {L"12x", std::nullopt},
      {L"\t255", std::nullopt},
      {L"- 1", std::nullopt},
      {L"$-1", std::nullopt},
      {L"0x0x1", std::nullopt},
      {L"\xFF11\xFF12", std::nullopt},  // full-width digits
      {L"1\xFF10", std::nullopt},
  };
  for (const IntCase& c : cases) {
    const auto got = ParseIntText(c.text);
    EXPECT_EQ(got, c.expected) << "text \"" << Narrow(c.text) << "\" gave "
                               << (got ? std::to_string(*got) : "failure");
  }
}

TEST(IntText, EmbeddedNulIsNotADigit) {
  EXPECT_EQ(ParseIntText(std::wstring_view(L"12\0" L"3", 4)), std::nullopt);
}

TEST(IntText, WritesDecimalTextThatReadsBack) {
  const std::pair<int32_t, const wchar_t*> cases[] = {
      {0, L"0"}, {7, L"7"}, {2105376, L"2105376"}, {-1, L"-1"}, {INT32_MAX, L"2147483647"},
      {INT32_MIN, L"-2147483648"}, {-100, L"-100"}};
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(IntToText(value), text);
    EXPECT_EQ(ParseIntText(IntToText(value)), value);
  }
}

}  // namespace
