#pragma once
#include <string>
#include <string_view>

struct ClockTime {
  int Hour = 0;    // 0..23
  int Minute = 0;  // 0..59
};

// Formats a pattern in which "hh" is the two-digit hour, "nn" the two-digit minute and ":" the
// locale's time separator; every other character stands for itself.
std::wstring FormatTimeText(std::wstring_view pattern, ClockTime time, std::wstring_view separator);

// The separator as read into a two-character buffer: its first character, nothing when the
// locale's separator is empty, ":" when the read failed (a separator longer than one character).
std::wstring SeparatorFromLocaleBuffer(bool readSucceeded, const wchar_t (&buffer)[2]);
