#pragma once
#include <string>
#include <string_view>

#include "app/time_text.h"

// The local wall-clock time. Tests replace the source through SetClockSource; nullptr restores
// the system clock.
using ClockSource = ClockTime (*)();
void SetClockSource(ClockSource source);
ClockTime CurrentClockTime();

// The system clock or time zone may have changed: the next reading asks the system afresh.
void ForgetLocalTime();

// Re-reads the locale's time separator; done at start and on a change of the regional settings.
void RefreshTimeSeparator();
const std::wstring& TimeSeparator();

// The current time formatted with the pattern ("hh:nn", "nn").
std::wstring CurrentTimeText(std::wstring_view pattern);
