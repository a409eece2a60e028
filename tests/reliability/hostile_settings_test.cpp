// The real talvane.scr against settings files a user, another program or a broken disk could
// leave behind. The saver must draw with what the system reads from the file (or the defaults) and
// end normally; the setup dialog must open, and its OK must write a clean file where the system
// lets it, or show the error box and lose nothing where it does not.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <future>
#include <string>
#include <vector>

#include "../setup/settings_file.h"
#include "reliability_support.h"

namespace {

using setup_testing::SettingsFile;
using testing_support::ChildProcess;
using testing_support::TalvaneScrPath;

constexpr int kBtnFont = 101;

std::string Utf16Bytes(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

std::string ReadBytes(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  CloseHandle(file);
  return bytes;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A colour value (0x00BBGGRR) as the screen shows it (0x00RRGGBB).
uint32_t Pixel(int32_t colour) {
  const auto v = static_cast<uint32_t>(colour);
  return (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
}

enum class Kind { File, Folder, Locked };

struct Case {
  const char* what;
  Kind kind;
  std::string bytes;        // what the file holds (for a locked file too)
  std::wstring fontName;    // what the saver and the dialog get from it
  int32_t fontColor;
  int32_t bgColor;
  std::string keptAfterOk;  // bytes that must still be in the file after OK wrote it
};

std::vector<Case> Cases() {
  std::string binary;
  unsigned seed = 2024;
  for (int i = 0; i < 8192; ++i) {
    seed = seed * 1103515245u + 12345u;
    binary += static_cast<char>(seed >> 16);
  }
  const std::string longLine = "Notes=" + std::string(1024 * 1024, 'x');
  return {
      {"binary", Kind::File, binary, L"Tahoma", 2105376, 0, ""},
      {"1 MiB line", Kind::File, "[Settings]\r\nFontColor=65280\r\n" + longLine + "\r\nBGColor=8388608\r\n",
       L"Tahoma", 65280, 8388608, longLine},
      {"UTF-16 with BOM", Kind::File,
       Utf16Bytes(L"[Settings]\r\nFontName=Courier New\r\nFontColor=16777215\r\nBGColor=128\r\n"), L"Courier New",
       16777215, 128, std::string("\xFF\xFE[\0S\0", 6)},
      {"duplicate keys", Kind::File, "[Settings]\r\nBGColor=255\r\nBGColor=65280\r\nFontColor=16777215\r\n",
       L"Tahoma", 16777215, 255, "BGColor=65280\r\n"},
      {"keys without =", Kind::File, "[Settings]\r\nFontName\r\nFontColor\r\nBGColor=65280\r\n", L"Tahoma",
       2105376, 65280, ""},
      {"section repeated", Kind::File,
       "[Settings]\r\nBGColor=255\r\n[Other]\r\nKeep=1\r\n[Settings]\r\nFontColor=65280\r\n", L"Tahoma", 2105376,
       255, "[Other]\r\nKeep=1\r\n"},
      {"quotes and spaces", Kind::File,
       "[Settings]\r\nFontName = \"Lucida Console\" \r\nFontColor = \" 65280\"\r\nBGColor=\"255 \"\r\n",
       L"Lucida Console", 65280, 0, ""},
      {"a folder", Kind::Folder, "", L"Tahoma", 2105376, 0, ""},
      {"locked by another process", Kind::Locked, "[Settings]\r\nBGColor=255\r\n", L"Tahoma", 2105376, 0, ""},
  };
}

void Prepare(const SettingsFile& file, const Case& c) {
  file.Write(c.bytes);
  if (c.kind == Kind::Folder) {
    DeleteFileW(file.Path().c_str());
    CreateDirectoryW(file.Path().c_str(), nullptr);
  }
}

// What is at the settings path now, for comparing before and after a run.
std::string Contents(const SettingsFile& file, const Case& c) {
  if (c.kind == Kind::Folder) return IsFolder(file.Path()) ? "<folder>" : "<gone>";
  return ReadBytes(file.Path());
}

void SaverDrawsWith(const Case& c) {
  SetCursorPos(200, 200);
  ChildProcess saver(TalvaneScrPath(), L"/s");
  HWND window = reliability::WaitForSaverWindow(saver);
  ASSERT_NE(window, nullptr) << c.what << ": no full-screen window";
  testing_support::PumpFor(700);
  const RECT monitor = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const std::vector<uint32_t> screen = testing_support::CaptureScreen(monitor);
  size_t background = 0, text = 0;
  for (uint32_t px : screen) {
    background += px == Pixel(c.bgColor);
    text += px == Pixel(c.fontColor);
  }
  EXPECT_GT(background, screen.size() / 2) << c.what << ": background " << std::hex << Pixel(c.bgColor);
  EXPECT_GT(text, screen.size() / 200) << c.what << ": digits " << std::hex << Pixel(c.fontColor);
  PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_EQ(saver.WaitForExit(5000), 0u) << c.what;
}

// Opens the setup dialog, checks it shows what the file gave, and ends it by pressing OK (true)
// or Esc (false).
void SetupRun(const Case& c, bool ok, const std::wstring& path) {
  ChildProcess setup(TalvaneScrPath(), L"/c");
  HWND dialog = reliability::WaitForSetupDialog(setup);
  ASSERT_NE(dialog, nullptr) << c.what << ": no setup dialog";
  EXPECT_EQ(testing_support::WindowText(GetDlgItem(dialog, kBtnFont)), c.fontName) << c.what;
  if (!ok) {
    reliability::PressEsc(dialog);
  } else if (c.kind == Kind::File) {
    PostMessageW(reliability::ButtonOf(dialog, L" &Ok"), BM_CLICK, 0, 0);
  } else {
    auto watcher =
        std::async(std::launch::async, [] { return testing_support::CloseMessageBox(L"Talvane", 10000); });
    PostMessageW(reliability::ButtonOf(dialog, L" &Ok"), BM_CLICK, 0, 0);
    const testing_support::SeenBox seen = watcher.get();
    EXPECT_TRUE(seen.found) << c.what << ": no error box";
    EXPECT_EQ(seen.text, path + L" に書き込めません.") << c.what;
    testing_support::PumpFor(300);
    EXPECT_TRUE(IsWindowVisible(dialog)) << c.what << ": the dialog stays for another try";
    reliability::PressEsc(dialog);
  }
  EXPECT_EQ(setup.WaitForExit(10000), 0u) << c.what;
}

TEST(HostileSettingsFile, SaverAndSetupRunAndNothingIsLost) {
  for (const Case& c : Cases()) {
    SettingsFile file;
    Prepare(file, c);
    const std::string before = Contents(file, c);
    if (c.kind == Kind::Locked) file.Hold();

    SaverDrawsWith(c);
    SetupRun(c, false, file.Path());
    if (c.kind != Kind::Locked) {
      EXPECT_EQ(Contents(file, c), before) << c.what << ": a run that only reads changed it";
    }
    SetupRun(c, true, file.Path());

    if (c.kind == Kind::File) {
      EXPECT_EQ(file.Read(L"FontName"), c.fontName) << c.what;
      EXPECT_EQ(file.Read(L"FontColor"), std::to_wstring(c.fontColor)) << c.what;
      EXPECT_EQ(file.Read(L"BGColor"), std::to_wstring(c.bgColor)) << c.what;
      EXPECT_NE(ReadBytes(file.Path()).find(c.keptAfterOk), std::string::npos) << c.what << ": lost other content";
    } else {
      file.Release();
      EXPECT_EQ(Contents(file, c), before) << c.what << ": a refused save changed it";
    }
    std::printf("%-26s %8zu bytes before, %8zu after OK\n", c.what, before.size(), Contents(file, c).size());
    if (c.kind == Kind::Folder) RemoveDirectoryW(file.Path().c_str());
  }
}

}  // namespace
