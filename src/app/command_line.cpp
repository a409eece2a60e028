#include "app/command_line.h"

#include "app/int_text.h"

namespace {

class ArgumentReader {
 public:
  explicit ArgumentReader(std::wstring_view line) : line_(line) {}

  std::wstring Next() {
    for (;;) {
      while (Peek(0) >= 1 && Peek(0) <= 32) ++pos_;
      if (Peek(0) == L'"' && Peek(1) == L'"') {
        pos_ += 2;
        continue;
      }
      break;
    }
    std::wstring arg;
    while (Peek(0) > 32) {
      if (Peek(0) == L'"') {
        ++pos_;
        while (Peek(0) != 0 && Peek(0) != L'"') arg += line_[pos_++];
        if (Peek(0) == L'"') ++pos_;
      } else {
        arg += line_[pos_++];
      }
    }
    return arg;
  }

 private:
  wchar_t Peek(size_t ahead) const {
    return pos_ + ahead < line_.size() ? line_[pos_ + ahead] : L'\0';
  }

  std::wstring_view line_;
  size_t pos_ = 0;
};

}  // namespace

std::vector<std::wstring> SplitArguments(std::wstring_view commandLine) {
  ArgumentReader reader(commandLine);
  reader.Next();  // the program name
  std::vector<std::wstring> arguments;
  for (std::wstring arg = reader.Next(); !arg.empty(); arg = reader.Next()) {
    arguments.push_back(std::move(arg));
  }
  return arguments;
}

ModeSelection SelectMode(const std::vector<std::wstring>& arguments) {
  ModeSelection selection;
  if (arguments.empty()) {
    selection.CommandArg = L"/C";
  } else {
    selection.CommandArg = arguments[0];
    for (wchar_t& c : selection.CommandArg) {
      if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
  }
  selection.PreviewParent = 0;

  const wchar_t second = selection.CommandArg.size() >= 2 ? selection.CommandArg[1] : L'\0';
  if (second == L'C') {
    selection.Mode = RunMode::Setup;
    return selection;
  }
  if (second == L'P' && arguments.size() >= 2) {
    selection.PreviewParent = ParseIntText(arguments[1]).value_or(0);
  }
  selection.Mode = selection.PreviewParent != 0 ? RunMode::Preview : RunMode::FullScreen;
  return selection;
}
