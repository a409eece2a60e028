#pragma once
#include <windows.h>

#include <string>

namespace setup_testing {

// The real per-user settings file of the test prefix, removed (with the folders the test run
// created) before and after each test that uses it.
class SettingsFile {
 public:
  SettingsFile();
  ~SettingsFile();
  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;

  const std::wstring& Path() const { return path_; }
  bool Exists() const;
  bool FoldersExist() const;
  std::wstring Read(const wchar_t* key) const;
  void Write(const std::string& text) const;
  // Holds the file open without sharing, so the system refuses every write to it until Release.
  // (A read-only attribute would not do: the tests may run as root.)
  void Hold();
  void Release();

 private:
  void Remove() const;

  std::wstring morvent_;
  std::wstring talvane_;
  std::wstring path_;
  HANDLE held_ = INVALID_HANDLE_VALUE;
};

}  // namespace setup_testing
