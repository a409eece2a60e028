// Parses fuzzed integer text and compares the result with a second, independently written reading
// of the grammar; also checks that a fuzzed 32-bit value is written as plain decimal and that every
// rendering of it reads back as that value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "app/int_text.h"
#include "fuzz/fuzz_input.h"

namespace {

constexpr std::wstring_view kDecimalDigits = L"0123456789";
constexpr std::wstring_view kHexDigits = L"0123456789abcdefABCDEF";

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// Classifies the whole text first (spaces, sign, prefix, digits only), then computes in 64 bits.
std::optional<int32_t> ReferenceParse(std::wstring_view text) {
  const size_t start = text.find_first_not_of(L' ');
  if (start == std::wstring_view::npos) return std::nullopt;
  text.remove_prefix(start);

  const bool negative = text[0] == L'-';
  if (negative || text[0] == L'+') text.remove_prefix(1);

  bool hex = false;
  for (std::wstring_view prefix : {L"0x", L"0X", L"$", L"x", L"X"}) {
    if (StartsWith(text, prefix)) {
      hex = true;
      text.remove_prefix(prefix.size());
      break;
    }
  }
  if (text.empty() || text.find_first_not_of(hex ? kHexDigits : kDecimalDigits) != std::wstring_view::npos) {
    return std::nullopt;
  }

  const size_t firstSignificant = text.find_first_not_of(L'0');
  const std::wstring_view significant =
      firstSignificant == std::wstring_view::npos ? std::wstring_view() : text.substr(firstSignificant);
  if (significant.size() > (hex ? 8u : 10u)) return std::nullopt;

  uint64_t magnitude = 0;
  for (wchar_t c : significant) {
    const size_t digit = hex ? kHexDigits.find(c) : kDecimalDigits.find(c);
    magnitude = magnitude * (hex ? 16 : 10) + (digit < 16 ? digit : digit - 6);  // 'A'..'F' follow 'a'..'f'
  }
  if (hex) {
    const uint32_t bits = static_cast<uint32_t>(magnitude);
    return static_cast<int32_t>(negative ? 0u - bits : bits);
  }
  const int64_t value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::wstring Hex(uint32_t value, bool upper) {
  const std::wstring_view digits = upper ? L"0123456789ABCDEF" : L"0123456789abcdef";
  std::wstring text;
  do {
    text.insert(text.begin(), digits[value % 16]);
    value /= 16;
  } while (value != 0);
  return text;
}

void CheckRenderingsOf(int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  const std::wstring decimal = std::to_wstring(value);
  FUZZ_CHECK(IntToText(value) == decimal);  // what the settings file gets must read back
  for (const std::wstring& text : {
           decimal,
           L"   " + decimal,
           value >= 0 ? L"+" + decimal : L"-000" + decimal.substr(1),
           L"$" + Hex(bits, true),
           L"0x" + Hex(bits, false),
           L"X00000000" + Hex(bits, true),
           L"-$" + Hex(0u - bits, false),
       }) {
    FUZZ_CHECK(ParseIntText(text) == value);
  }
  // The negation in decimal: in range except for the negation of the smallest value.
  const int64_t negated = -static_cast<int64_t>(value);
  const std::optional<int32_t> expected =
      negated <= INT32_MAX ? std::optional<int32_t>(static_cast<int32_t>(negated)) : std::nullopt;
  FUZZ_CHECK(ParseIntText(std::to_wstring(negated)) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring text = Utf16FromBytes(data, size);
  FUZZ_CHECK(ParseIntText(text) == ReferenceParse(text));

  if (size >= 4) {
    int32_t value;
    std::memcpy(&value, data, sizeof value);
    CheckRenderingsOf(value);
  }
  return 0;
}
