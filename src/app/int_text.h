#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The integer-text grammar shared by the preview handle and the integer settings:
// leading U+0020 spaces, one optional sign, then decimal digits or hexadecimal digits after
// "$", "x", "X", "0x" or "0X", with nothing after them. Hexadecimal takes at most eight
// significant digits and wraps from 0x80000000 to negative. Anything else is no value.
std::optional<int32_t> ParseIntText(std::wstring_view text);

// A value as signed decimal text without leading zeros ("-" for negatives), the form the
// grammar reads back.
std::wstring IntToText(int32_t value);
