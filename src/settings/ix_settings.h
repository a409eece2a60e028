#pragma once
#include <cstdint>
#include <string>

// The user's three settings and the per-user INI file that holds them. Created by whoever needs
// it (the first saver window, the setup dialog) and shared by reference within a run.
class TIxSettings {
 public:
  // Create: constructs the record and loads it at once, so it always holds file values or defaults.
  TIxSettings();

  // Reads the file; absent or unreadable values give the defaults. Never creates anything.
  void Load();
  // Writes the three keys, creating the folders first. Raises IniFileError on a refused write
  // and ArgumentError on a path with invalid characters.
  void Save();
  // The full path of the settings file, built afresh on every call.
  static std::wstring GetIniPath();

  std::wstring FontName = L"Tahoma";
  int32_t FontColor = 2105376;  // 0x202020
  int32_t BGColor = 0;
};
