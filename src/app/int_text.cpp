#include "app/int_text.h"

namespace {

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  return -1;
}

std::optional<uint32_t> ParseHex(std::wstring_view digits) {
  if (digits.empty()) return std::nullopt;
  uint32_t value = 0;
  int significant = 0;
  for (wchar_t c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    if (significant > 0 || d != 0) ++significant;
    if (significant > 8) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(d);
  }
  return value;
}

// Magnitude of a decimal number, or nothing above 2^31 (the largest a negative value needs).
std::optional<uint32_t> ParseDecimal(std::wstring_view digits) {
  if (digits.empty()) return std::nullopt;
  uint64_t value = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - L'0');
    if (value > 0x80000000u) return std::nullopt;
  }
  return static_cast<uint32_t>(value);
}

}  // namespace

std::optional<int32_t> ParseIntText(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == L' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  std::wstring_view rest = text.substr(i);

  size_t prefix = 0;
  if (!rest.empty() && (rest[0] == L'$' || rest[0] == L'x' || rest[0] == L'X')) {
    prefix = 1;
  } else if (rest.size() >= 2 && rest[0] == L'0' && (rest[1] == L'x' || rest[1] == L'X')) {
    prefix = 2;
  }

  if (prefix > 0) {
    const auto hex = ParseHex(rest.substr(prefix));
    if (!hex) return std::nullopt;
    const uint32_t bits = negative ? 0u - *hex : *hex;
    return static_cast<int32_t>(bits);
  }

  const auto magnitude = ParseDecimal(rest);
  if (!magnitude) return std::nullopt;
  if (negative) return static_cast<int32_t>(0u - *magnitude);
  if (*magnitude > 0x7FFFFFFFu) return std::nullopt;
  return static_cast<int32_t>(*magnitude);
}

std::wstring IntToText(int32_t value) {
  // Built by hand: the library's wide formatting would pull the whole of printf into the saver.
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  wchar_t digits[12];
  size_t n = 0;
  do {
    digits[n++] = static_cast<wchar_t>(L'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::wstring text = value < 0 ? L"-" : L"";
  while (n > 0) text += digits[--n];
  return text;
}
