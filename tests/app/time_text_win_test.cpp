#include <gtest/gtest.h>

#include "app/application_win.h"
#include "app/time_text_win.h"
#include "support/win_test_support.h"

namespace {

using testing_support::LocaleSeparator;

ClockTime AfternoonClock() { return {13, 7}; }
ClockTime MidnightClock() { return {0, 0}; }

TEST(TimeTextWin, ReadsTheClockThroughTheSeam) {
  RefreshTimeSeparator();
  SetClockSource(AfternoonClock);
  EXPECT_EQ(CurrentTimeText(L"hh:nn"), L"13:07");
  EXPECT_EQ(CurrentTimeText(L"nn"), L"07");
  SetClockSource(MidnightClock);
  EXPECT_EQ(CurrentTimeText(L"hh:nn"), L"00:00");
  SetClockSource(nullptr);
  SYSTEMTIME now;
  GetLocalTime(&now);
  const ClockTime real = CurrentClockTime();
  EXPECT_EQ(real.Hour, now.wHour);
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
