#include "app/time_text.h"

namespace {

void AppendTwoDigits(std::wstring& out, int value) {
  out += static_cast<wchar_t>(L'0' + value / 10 % 10);
  out += static_cast<wchar_t>(L'0' + value % 10);
}

}  // namespace

std::wstring FormatTimeText(std::wstring_view pattern, ClockTime time, std::wstring_view separator) {
  std::wstring out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const std::wstring_view rest = pattern.substr(i);
    if (rest.substr(0, 2) == L"hh") {
      AppendTwoDigits(out, time.Hour);
      ++i;
    } else if (rest.substr(0, 2) == L"nn") {
      AppendTwoDigits(out, time.Minute);
      ++i;
    } else if (pattern[i] == L':') {
      out += separator;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::wstring SeparatorFromLocaleBuffer(bool readSucceeded, const wchar_t (&buffer)[2]) {
  if (!readSucceeded) return L":";
  return buffer[0] == L'\0' ? std::wstring() : std::wstring(1, buffer[0]);
}
