#include "app/time_text_win.h"

#include <windows.h>

#include <cstdint>

namespace {

constexpr uint64_t kFileTimeUnitsPerMinute = 60ULL * 10000000;
LocalTimeCache g_localTime;

ClockTime SystemClock() {
  FILETIME utc;
  GetSystemTimeAsFileTime(&utc);
  const uint64_t utcMinute =
      ((static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime) / kFileTimeUnitsPerMinute;
  return g_localTime.Get(utcMinute, [] {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return ClockTime{now.wHour, now.wMinute};
  });
}

ClockSource g_clock = SystemClock;
std::wstring g_separator = L":";

}  // namespace

void SetClockSource(ClockSource source) { g_clock = source ? source : SystemClock; }

void ForgetLocalTime() { g_localTime.Forget(); }

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
