#include "app/system_error_win.h"

#include "app/errors.h"
#include "app/int_text.h"

#include <cstdint>

std::wstring SystemErrorMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
          FORMAT_MESSAGE_ARGUMENT_ARRAY,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", n);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) text = L"システム エラー " + IntToText(static_cast<int32_t>(code));
  return text;
}

void RaiseOutOfResources() {
  const DWORD code = GetLastError();
  throw OutOfResourcesError(SystemErrorMessage(code != 0 ? code : ERROR_NOT_ENOUGH_MEMORY));
}
