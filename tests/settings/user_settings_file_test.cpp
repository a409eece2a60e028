#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>

#include "settings/ix_settings.h"

namespace {

std::wstring AppData() {
  wchar_t folder[MAX_PATH] = {};
  return SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, folder) == S_OK ? folder : L"";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The user's own settings file, as the setup dialog and the saver use it; whatever was there before
// is put back afterwards.
TEST(UserSettingsFile, SavesAndLoadsInTheUsersAppDataFolder) {
  const std::wstring morvent = AppData() + L"\\Morvent";
  const std::wstring talvane = morvent + L"\\Talvane";
  const std::wstring ini = talvane + L"\\talvane.ini";
  ASSERT_EQ(TIxSettings::GetIniPath(), ini);
  const bool hadMorvent = Exists(morvent), hadTalvane = Exists(talvane), hadIni = Exists(ini);
  const std::wstring backup = ini + L".test-backup";
  if (hadIni) {
    ASSERT_TRUE(CopyFileW(ini.c_str(), backup.c_str(), FALSE));
  }

  TIxSettings settings;
  settings.FontName = L"Courier New";
  settings.FontColor = 0x0000FF;
  settings.BGColor = -5;
  settings.Save();
  const TIxSettings loaded;
  EXPECT_EQ(loaded.FontName, L"Courier New");
  EXPECT_EQ(loaded.FontColor, 0x0000FF);
  EXPECT_EQ(loaded.BGColor, -5);

  if (hadIni) {
    EXPECT_TRUE(MoveFileExW(backup.c_str(), ini.c_str(), MOVEFILE_REPLACE_EXISTING));
  } else {
    EXPECT_TRUE(DeleteFileW(ini.c_str()));
  }
  if (!hadTalvane) {
    EXPECT_TRUE(RemoveDirectoryW(talvane.c_str()));
  }
  if (!hadMorvent) {
    EXPECT_TRUE(RemoveDirectoryW(morvent.c_str()));
  }
}

}  // namespace
