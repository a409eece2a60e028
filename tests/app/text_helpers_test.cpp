#include <gtest/gtest.h>

#include "app/app_title.h"
#include "app/errors.h"
#include "app/time_text.h"

#include <cstdint>

namespace {

TEST(TimeText, FormatsTwoDigitFieldsOnThe24HourClock) {
  struct Case {
    const wchar_t* pattern;
    ClockTime time;
    const wchar_t* separator;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {L"hh:nn", {0, 0}, L":", L"00:00"},
      {L"hh:nn", {13, 7}, L":", L"13:07"},
      {L"hh:nn", {23, 59}, L":", L"23:59"},
      {L"hh:nn", {7, 5}, L":", L"07:05"},
      {L"hh:nn", {13, 7}, L".", L"13.07"},
      {L"hh:nn", {13, 7}, L"", L"1307"},
      {L"nn", {13, 7}, L":", L"07"},
      {L"nn", {0, 59}, L".", L"59"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatTimeText(c.pattern, c.time, c.separator), c.expected)
        << c.time.Hour << ":" << c.time.Minute;
  }
}

TEST(TimeText, SeparatorComesFromATwoCharacterBuffer) {
  const wchar_t dot[2] = {L'.', 0};
  const wchar_t empty[2] = {0, 0};
  const wchar_t untouched[2] = {L'x', L'y'};
  EXPECT_EQ(SeparatorFromLocaleBuffer(true, dot), L".");
  EXPECT_EQ(SeparatorFromLocaleBuffer(true, empty), L"");
  EXPECT_EQ(SeparatorFromLocaleBuffer(false, untouched), L":");  // too long for the buffer
}

// The local clock is asked again only in a new UTC minute or after Forget; in between, a change
// of the local time (a zone moved mid-minute) stays unseen until one of those.
TEST(LocalTimeCache, ReadsTheLocalClockOncePerUtcMinute) {
  struct Step {
    uint64_t utcMinute;
    bool forgetFirst;
    ClockTime local;  // what the local clock reads at this step
    ClockTime expected;
    int readsSoFar;
  };
  const Step steps[] = {
      {1000, false, {13, 7}, {13, 7}, 1},   // the first call always reads
      {1000, false, {13, 7}, {13, 7}, 1},   // same minute: kept
      {1000, false, {14, 37}, {13, 7}, 1},  // zone moved unreported: kept until the minute ends
      {1000, true, {14, 37}, {14, 37}, 2},  // reported: read again
      {1001, false, {14, 38}, {14, 38}, 3},  // next UTC minute
      {999, false, {14, 36}, {14, 36}, 4},   // clock set back: a different minute reads too
  };
  LocalTimeCache cache;
  int reads = 0;
  for (const Step& s : steps) {
    if (s.forgetFirst) cache.Forget();
    const ClockTime got = cache.Get(s.utcMinute, [&] {
      ++reads;
      return s.local;
    });
    EXPECT_EQ(got.Hour, s.expected.Hour) << "UTC minute " << s.utcMinute;
    EXPECT_EQ(got.Minute, s.expected.Minute) << "UTC minute " << s.utcMinute;
    EXPECT_EQ(reads, s.readsSoFar) << "UTC minute " << s.utcMinute;
  }
}

TEST(ApplicationTitle, IsTheFileNameCutAtTheFirstDot) {
  struct Case {
    const wchar_t* path;
    const wchar_t* title;
  };
  const Case cases[] = {
      {L"C:\\Windows\\System32\\talvane.scr", L"Talvane"},
      {L"C:\\x\\FOO.BAR.scr", L"Foo"},
      {L"talvane.scr", L"Talvane"},
      {L"Z:/tmp/build/bin/TalVane.SCR", L"Talvane"},
      {L"C:\\dotted.dir\\noext", L"Noext"},
      {L"C:\\x\\.hidden", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(ApplicationTitleFromPath(c.path), c.title);
}

TEST(ErrorBoxText, AddsAFullStopOnlyAfterCharactersAboveIt) {
  EXPECT_EQ(ErrorBoxText(L"タイマーを取得できません"), L"タイマーを取得できません.");
  EXPECT_EQ(ErrorBoxText(L"abc"), L"abc.");
  EXPECT_EQ(ErrorBoxText(L"done."), L"done.");
  EXPECT_EQ(ErrorBoxText(L"what!"), L"what!");  // "!" is below "."
  EXPECT_EQ(ErrorBoxText(L"path/"), L"path/.");  // "/" is above "."
  EXPECT_EQ(ErrorBoxText(L""), L"");
}

}  // namespace
