#include "app/app_title.h"

#include <cctype>
#include <cwctype>

std::wstring ApplicationTitleFromPath(std::wstring_view exePath) {
  const size_t slash = exePath.find_last_of(L"\\/:");
  std::wstring_view name = slash == std::wstring_view::npos ? exePath : exePath.substr(slash + 1);
  name = name.substr(0, name.find(L'.'));
  std::wstring title;
  for (wchar_t c : name) {
    title += static_cast<wchar_t>(title.empty() ? std::towupper(static_cast<wint_t>(c))
                                                : std::towlower(static_cast<wint_t>(c)));
  }
  return title;
}
