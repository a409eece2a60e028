#include "settings_file.h"

#include <shlobj.h>

namespace setup_testing {

SettingsFile::SettingsFile() {
  wchar_t appData[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData);
  morvent_ = std::wstring(appData) + L"\\Morvent";
  talvane_ = morvent_ + L"\\Talvane";
  path_ = talvane_ + L"\\talvane.ini";
  Remove();
}

SettingsFile::~SettingsFile() {
  Release();
  Remove();
}

void SettingsFile::Remove() const {
  DeleteFileW(path_.c_str());
  // Folders that hold anything else are not ours and stay.
  RemoveDirectoryW(talvane_.c_str());
  RemoveDirectoryW(morvent_.c_str());
}

bool SettingsFile::Exists() const { return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SettingsFile::FoldersExist() const {
  return GetFileAttributesW(morvent_.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring SettingsFile::Read(const wchar_t* key) const {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());  // drop a cached copy
  wchar_t value[2048];
  GetPrivateProfileStringW(L"Settings", key, L"<absent>", value, 2048, path_.c_str());
  return value;
}

void SettingsFile::Write(const std::string& text) const {
  CreateDirectoryW(morvent_.c_str(), nullptr);
  CreateDirectoryW(talvane_.c_str(), nullptr);
  HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

void SettingsFile::Hold() {
  held_ = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                      nullptr);
}

void SettingsFile::Release() {
  if (held_ != INVALID_HANDLE_VALUE) CloseHandle(held_);
  held_ = INVALID_HANDLE_VALUE;
}

}  // namespace setup_testing
