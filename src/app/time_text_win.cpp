#include "app/time_text_win.h"

#include <windows.h>

namespace {

ClockTime SystemClock() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return ClockTime{now.wHour, now.wMinute};
}

ClockSource g_clock = SystemClock;
std::wstring g_separator = L":";

}  // namespace

void SetClockSource(ClockSource source) { g_clock = source ? source : SystemClock; }

ClockTime CurrentClockTime() { return g_clock(); }

void RefreshTimeSeparator() {
  wchar_t buffer[2] = {};
  const bool ok = GetLocaleInfoW(GetThreadLocale(), LOCALE_STIME, buffer, 2) != 0;
  g_separator = SeparatorFromLocaleBuffer(ok, buffer);
}

const std::wstring& TimeSeparator() { return g_separator; }

std::wstring CurrentTimeText(std::wstring_view pattern) {
  return FormatTimeText(pattern, CurrentClockTime(), g_separator);
}
