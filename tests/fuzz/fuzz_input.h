#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// The fuzz bytes as little-endian UTF-16 code units, the form in which Windows hands text to the
// program (a native wchar_t is wider, but only code units up to U+FFFF are made). An odd last
// byte is dropped.
inline std::wstring Utf16FromBytes(const uint8_t* data, size_t size) {
  std::wstring text;
  text.reserve(size / 2);
  for (size_t i = 0; i + 1 < size; i += 2) {
    text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
  }
  return text;
}

// A broken invariant is a finding: say which, then abort so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                   \
  do {                                                                                          \
    if (!(condition)) {                                                                         \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);    \
      std::abort();                                                                             \
    }                                                                                           \
  } while (0)
