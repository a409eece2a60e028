#pragma once
#include <cstdint>
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

// The local time read in one UTC minute, kept for the rest of that minute. Reading the local time
// can cost far more than reading the UTC clock (Wine works out the zone's rules at every call),
// and the local minute changes only when the UTC minute does, since zone offsets are whole minutes
// and daylight saving switches on a minute boundary, or when the zone itself changes, after which
// the owner calls Forget.
class LocalTimeCache {
 public:
  // readLocal must read the clock after utcMinute was taken: a local time already in the next
  // minute is then kept only until the next call, which sees the UTC minute change too.
  template <class ReadLocal>
  ClockTime Get(uint64_t utcMinute, ReadLocal&& readLocal) {
    if (!valid_ || utcMinute != utcMinute_) {
      time_ = readLocal();
      utcMinute_ = utcMinute;
      valid_ = true;
    }
    return time_;
  }
  void Forget() { valid_ = false; }

 private:
  bool valid_ = false;
  uint64_t utcMinute_ = 0;
  ClockTime time_;
};
