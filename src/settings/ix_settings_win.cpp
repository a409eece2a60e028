#include "settings/ix_settings_win.h"

#include <shlobj.h>

#include <cstdint>
#include <cwchar>
#include <utility>

#include "app/errors.h"
#include "app/int_text.h"
#include "settings/ini_path.h"
#include "settings/ix_settings.h"

namespace {

// The shell is loaded only for the lookup and let go at once: a saver run, which may last for
// hours, needs nothing else of it. A shell that cannot be loaded fails the lookup like any other
// failure.
HRESULT WINAPI ShellFolderPath(HWND window, int folder, HANDLE token, DWORD flags, LPWSTR path) {
  HMODULE shell = LoadLibraryW(L"shell32.dll");
  if (!shell) return E_FAIL;
  const auto lookup = reinterpret_cast<FolderPathFunction>(
      reinterpret_cast<void*>(GetProcAddress(shell, "SHGetFolderPathW")));
  const HRESULT result = lookup ? lookup(window, folder, token, flags, path) : E_FAIL;
  FreeLibrary(shell);
  return result;
}

FolderPathFunction g_folderPath = ShellFolderPath;
ProfileWriteFunction g_profileWrite = WritePrivateProfileStringW;

constexpr wchar_t kSection[] = L"Settings";

// One INI file, read and written through the system's private-profile functions. Opening touches
// nothing on disk; closing asks the system to flush its cached copy.
class IniFile {
 public:
  explicit IniFile(std::wstring path) : path_(std::move(path)) {}
  ~IniFile() { g_profileWrite(nullptr, nullptr, nullptr, path_.c_str()); }
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  std::wstring ReadString(const wchar_t* key, const wchar_t* fallback) const {
    // Longer values come back cut to 2047 characters.
    wchar_t buffer[2048];
    const DWORD n = GetPrivateProfileStringW(kSection, key, fallback, buffer, ARRAYSIZE(buffer), path_.c_str());
    return std::wstring(buffer, n);
  }

  int32_t ReadInteger(const wchar_t* key, int32_t fallback) const {
    return ParseIntText(ReadString(key, L"")).value_or(fallback);
  }

  void WriteString(const wchar_t* key, const std::wstring& value) const {
    if (!g_profileWrite(kSection, key, value.c_str(), path_.c_str())) {
      throw IniFileError(path_ + L" に書き込めません");
    }
  }

  void WriteInteger(const wchar_t* key, int32_t value) const { WriteString(key, IntToText(value)); }

 private:
  std::wstring path_;
};

}  // namespace

void SetFolderPathFunction(FolderPathFunction function) {
  g_folderPath = function ? function : ShellFolderPath;
}

void SetProfileWriteFunction(ProfileWriteFunction function) {
  g_profileWrite = function ? function : WritePrivateProfileStringW;
}

std::wstring AppDataFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  if (g_folderPath(nullptr, CSIDL_APPDATA, nullptr, 0, buffer) != S_OK) return std::wstring();
  return std::wstring(buffer, wcsnlen(buffer, MAX_PATH + 1));
}

bool FolderExists(const std::wstring& folder) {
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return !ErrorMeansMissingFolder(GetLastError());
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
    const HANDLE target = CreateFileW(folder.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (target == INVALID_HANDLE_VALUE) return false;
    CloseHandle(target);
  }
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TIxSettings::TIxSettings() { Load(); }

void TIxSettings::Load() {
  const IniFile ini(GetIniPath());
  FontName = ini.ReadString(L"FontName", L"Tahoma");
  FontColor = ini.ReadInteger(L"FontColor", 2105376);
  BGColor = ini.ReadInteger(L"BGColor", 0);
}

void TIxSettings::Save() {
  const std::wstring folder = FolderPart(GetIniPath());
  if (!FolderExists(folder)) {
    // A folder that cannot be made shows up as the write error of the first key.
    CreateFolderWithParents(folder, {FolderExists, [](const std::wstring& dir) {
                                       return CreateDirectoryW(dir.c_str(), nullptr) != 0;
                                     }});
  }
  const IniFile ini(GetIniPath());
  ini.WriteString(L"FontName", FontName);
  ini.WriteInteger(L"FontColor", FontColor);
  ini.WriteInteger(L"BGColor", BGColor);
}

std::wstring TIxSettings::GetIniPath() { return IniPathBelow(AppDataFolder()); }
