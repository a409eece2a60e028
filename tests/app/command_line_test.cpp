#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

namespace {

using Args = std::vector<std::wstring>;

std::string Narrow(std::wstring_view s) {
  std::string out;
  for (wchar_t c : s) out += c >= 32 && c < 127 ? static_cast<char>(c) : '?';
  return out;
}

TEST(SplitArguments, FollowsTheSplittingRules) {
  struct Case {
    std::wstring line;
    Args expected;
  };
  const Case cases[] = {
      {L"talvane.scr", {}},
      {L"", {}},
      {L"talvane.scr /s", {L"/s"}},
      {L"\"C:\\Program Files\\talvane.scr\" /p 1234", {L"/p", L"1234"}},
      {L"prog   /c\t\t-x  ", {L"/c", L"-x"}},
      {L"prog \"\"", {}},                        // only an empty quoted argument
      {L"prog \"\" /s", {L"/s"}},                // an empty quoted argument disappears
      {L"prog \"\"\"\" \"\" /s", {L"/s"}},
      {L"prog /p \"  4242\"", {L"/p", L"  4242"}},
      {L"prog /p\"12 34\"x y", {L"/p12 34x", L"y"}},
      {L"prog \"unclosed quote", {L"unclosed quote"}},
      {L"prog \"unclosed\ttab", {L"unclosed\ttab"}},  // control characters are kept inside quotes
      {L"prog a\x01" L"b\x1f" L"c\nd\re", {L"a", L"b", L"c", L"d", L"e"}},  // codes 1..32 separate
      {L"prog a\x7f" L"b", {L"a\x7f" L"b"}},  // DEL (127) is an ordinary character
      {std::wstring(L"prog /s\0/c", 10), {L"/s"}},  // NUL ends the line
      {L"prog a\"\"b", {L"ab"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitArguments(c.line), c.expected) << "line: " << Narrow(c.line);
  }
}

TEST(SplitArguments, HandlesAVeryLongLine) {
  std::wstring line = L"talvane.scr /p ";
  line += std::wstring(32000 - line.size(), L'7');
  const Args args = SplitArguments(line);
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[1].size(), 32000u - 15u);
  EXPECT_EQ(SelectMode(args).Mode, RunMode::FullScreen);  // far out of the 32-bit range

  EXPECT_TRUE(SplitArguments(std::wstring(32000, L' ')).empty());
  EXPECT_EQ(SplitArguments(L"p " + std::wstring(32000, L'"')), Args{});
}

TEST(SelectMode, ChoosesTheRunByTheSecondCharacter) {
  struct Case {
    Args args;
    RunMode mode;
    int32_t previewParent;
    const wchar_t* commandArg;
  };
  const Case cases[] = {
      {{}, RunMode::Setup, 0, L"/C"},
      {{L"/c"}, RunMode::Setup, 0, L"/C"},
      {{L"/C"}, RunMode::Setup, 0, L"/C"},
      {{L"-c"}, RunMode::Setup, 0, L"-C"},
      {{L"/c:4242"}, RunMode::Setup, 0, L"/C:4242"},
      {{L"xC"}, RunMode::Setup, 0, L"XC"},
      {{L"/s"}, RunMode::FullScreen, 0, L"/S"},
      {{L"/S"}, RunMode::FullScreen, 0, L"/S"},
      {{L"-s"}, RunMode::FullScreen, 0, L"-S"},
      {{L"S"}, RunMode::FullScreen, 0, L"S"},
      {{L"/"}, RunMode::FullScreen, 0, L"/"},
      {{L"/a", L"1234"}, RunMode::FullScreen, 0, L"/A"},
      {{L"xyz"}, RunMode::FullScreen, 0, L"XYZ"},
      {{L"/p", L"4242"}, RunMode::Preview, 4242, L"/P"},
      {{L"/P", L"4242"}, RunMode::Preview, 4242, L"/P"},
      {{L"/p", L"$1A2B"}, RunMode::Preview, 0x1A2B, L"/P"},
      {{L"/p", L"0x1A2B"}, RunMode::Preview, 0x1A2B, L"/P"},
      {{L"/p", L"  4242"}, RunMode::Preview, 4242, L"/P"},
      {{L"/p", L"4242 "}, RunMode::FullScreen, 0, L"/P"},
      {{L"/p"}, RunMode::FullScreen, 0, L"/P"},
      {{L"/p", L"abc"}, RunMode::FullScreen, 0, L"/P"},
      {{L"/p", L"12x"}, RunMode::FullScreen, 0, L"/P"},
      {{L"/p", L"0"}, RunMode::FullScreen, 0, L"/P"},
      {{L"/p:4242"}, RunMode::FullScreen, 0, L"/P:4242"},
      {{L"/\xE9" L"c"}, RunMode::FullScreen, 0, L"/\xE9" L"C"},  // only a-z change case
      {{L"/\xFF43"}, RunMode::FullScreen, 0, L"/\xFF43"},       // full-width c is not C
  };
  for (const Case& c : cases) {
    const ModeSelection got = SelectMode(c.args);
    std::string label;
    for (const auto& a : c.args) label += "[" + Narrow(a) + "]";
    EXPECT_EQ(got.Mode, c.mode) << label;
    EXPECT_EQ(got.PreviewParent, c.previewParent) << label;
    EXPECT_EQ(got.CommandArg, c.commandArg) << label;
  }
}

TEST(SelectMode, AnyCommandLineSelectsAMode) {
  // A cheap sweep over short lines of awkward characters; the fuzzer goes further.
  const wchar_t alphabet[] = {L'"', L' ', L'/', L'p', L'c', L'1', L'\t', L'$', L'-', 0x1, 0xFFFF};
  const size_t n = sizeof alphabet / sizeof alphabet[0];
  for (size_t a = 0; a < n; ++a)
    for (size_t b = 0; b < n; ++b)
      for (size_t c = 0; c < n; ++c)
        for (size_t d = 0; d < n; ++d) {
          const std::wstring line = {L'x', L' ', alphabet[a], alphabet[b], alphabet[c], alphabet[d]};
          const ModeSelection got = SelectMode(SplitArguments(line));
          EXPECT_FALSE(got.CommandArg.empty());
          EXPECT_EQ(got.PreviewParent != 0, got.Mode == RunMode::Preview);
        }
}

}  // namespace
