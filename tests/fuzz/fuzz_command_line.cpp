// Splits fuzzed command lines and selects a mode from them, checking what must hold for any line.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "app/int_text.h"
#include "fuzz/fuzz_input.h"

namespace {

using Args = std::vector<std::wstring>;

bool HasSeparator(const std::wstring& arg) {
  for (wchar_t c : arg) {
    if (c <= 32) return true;
  }
  return false;
}

// Arguments written back into a line after a program name, each after `gap` and in quotes when
// asked (or needed).
std::wstring LineOf(const Args& args, std::wstring_view gap, bool quoteAll) {
  std::wstring line = L"talvane.scr";
  for (const std::wstring& arg : args) {
    line += gap;
    line += quoteAll || HasSeparator(arg) ? L"\"" + arg + L"\"" : arg;
  }
  return line;
}

void CheckSplitting(const std::wstring& line, const Args& args) {
  for (const std::wstring& arg : args) {
    FUZZ_CHECK(!arg.empty());
    FUZZ_CHECK(arg.find(L'"') == std::wstring::npos);  // quotes are dropped, never copied
    FUZZ_CHECK(arg.find(L'\0') == std::wstring::npos);
  }
  // Every argument survives being written back, quoted or bare, and empty quoted arguments
  // between them disappear.
  FUZZ_CHECK(SplitArguments(LineOf(args, L" ", true)) == args);
  FUZZ_CHECK(SplitArguments(LineOf(args, L"\t", false)) == args);
  FUZZ_CHECK(SplitArguments(LineOf(args, L" \"\" \"\"\"\" ", false)) == args);
  // A NUL ends the line: nothing after it counts.
  FUZZ_CHECK(SplitArguments(line + L'\0' + L"\"/c\" 1") == args);
}

void CheckMode(const Args& args) {
  const ModeSelection selection = SelectMode(args);
  const std::wstring& command = selection.CommandArg;
  FUZZ_CHECK(!command.empty());
  if (args.empty()) {
    FUZZ_CHECK(command == L"/C");
  } else {
    // Only a-z change, each to its capital.
    FUZZ_CHECK(command.size() == args[0].size());
    for (size_t i = 0; i < command.size(); ++i) {
      const wchar_t c = args[0][i];
      FUZZ_CHECK(command[i] == (c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c));
    }
  }

  const wchar_t second = command.size() >= 2 ? command[1] : L'\0';
  FUZZ_CHECK((selection.Mode == RunMode::Setup) == (second == L'C'));
  FUZZ_CHECK((selection.Mode == RunMode::Preview) == (selection.PreviewParent != 0));
  const int32_t handle = second == L'P' && args.size() >= 2 ? ParseIntText(args[1]).value_or(0) : 0;
  FUZZ_CHECK(selection.PreviewParent == handle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring line = Utf16FromBytes(data, size);
  const Args args = SplitArguments(line);
  CheckSplitting(line, args);
  CheckMode(args);
  return 0;
}
