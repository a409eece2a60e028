#include <gtest/gtest.h>

#include "app/application_win.h"
#include "app/time_text_win.h"
#include "support/win_test_support.h"

namespace {

using testing_support::LocaleSeparator;

ClockTime AfternoonClock() { return {13, 7}; }
ClockTime MidnightClock() { return {0, 0}; }

TEST(TimeTextWin, ReadsTheClockThroughTheSeam) {
  CreateApplicationWindow();
  RefreshTimeSeparator();
  SetClockSource(AfternoonClock);
  EXPECT_EQ(CurrentTimeText(L"hh:nn"), L"13:07");
  EXPECT_EQ(CurrentTimeText(L"nn"), L"07");
  SetClockSource(MidnightClock);
  EXPECT_EQ(CurrentTimeText(L"hh:nn"), L"00:00");
  SetClockSource(nullptr);
  // The system clock, kept between readings within a minute, agrees with the system's local time,
  // also after the time or settings are reported changed.
  for (const UINT change : {0u, static_cast<UINT>(WM_TIMECHANGE), static_cast<UINT>(WM_SETTINGCHANGE)}) {
    if (change != 0) SendMessageW(ApplicationWindow(), change, 0, 0);
    SYSTEMTIME before, after;
    ClockTime real;
    do {
      GetLocalTime(&before);
      real = CurrentClockTime();
      GetLocalTime(&after);
    } while (before.wMinute != after.wMinute);
    EXPECT_EQ(real.Hour, before.wHour) << "after message " << change;
    EXPECT_EQ(real.Minute, before.wMinute) << "after message " << change;
  }
}

TEST(TimeTextWin, FollowsTheLocaleSeparatorOnAnIntlSettingChange) {
  CreateApplicationWindow();
  SetClockSource(AfternoonClock);
  struct Case {
    const wchar_t* separator;
    const wchar_t* expected;
  };
  const Case cases[] = {{L".", L"13.07"}, {L"", L"1307"}, {L"::", L"13:07"}, {L":", L"13:07"}};
  for (const Case& c : cases) {
    LocaleSeparator locale(c.separator);
    ASSERT_TRUE(locale.ok());
    SendMessageW(ApplicationWindow(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"intl"));
    EXPECT_EQ(CurrentTimeText(L"hh:nn"), c.expected) << "separator \"" << c.separator << "\"";
  }
  // Other sections leave the separator alone.
  {
    LocaleSeparator locale(L".");
    SendMessageW(ApplicationWindow(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"Desktop"));
    EXPECT_EQ(CurrentTimeText(L"hh:nn"), L"13:07");
  }
  SetClockSource(nullptr);
}

}  // namespace
