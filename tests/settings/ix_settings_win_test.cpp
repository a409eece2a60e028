#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "app/errors.h"
#include "settings/ix_settings.h"
#include "settings/ix_settings_win.h"

namespace {

std::string Narrow(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) out += c >= 32 && c < 128 ? static_cast<char>(c) : '?';
  return out;
}

std::string Utf16Bytes(const std::wstring& text) {
  std::string bytes = "\xFF\xFE";
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string ReadBytes(const std::wstring& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<absent>";
  std::string bytes;
  char chunk[4096];
  DWORD n = 0;
  while (ReadFile(file, chunk, sizeof chunk, &n, nullptr) && n > 0) bytes.append(chunk, n);
  CloseHandle(file);
  return bytes;
}

// Every file and folder below root, relative to it, folders ending in '\', with file contents.
std::vector<std::string> Tree(const std::wstring& root, const std::wstring& relative = L"") {
  std::vector<std::string> entries;
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      entries.push_back(Narrow(relative + name) + "\\");
      for (auto& inner : Tree(root, relative + name + L"\\")) entries.push_back(inner);
    } else {
      entries.push_back(Narrow(relative + name) + " = " + ReadBytes(root + relative + name));
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
  std::sort(entries.begin(), entries.end());
  return entries;
}

void DeleteTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(path + L"\\");
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

// What the folder lookup seam answers, and what it was asked.
struct FolderLookup {
  HRESULT result = S_OK;
  std::wstring folder;
  int calls = 0;
  bool askedForAppData = true;
} g_lookup;

HRESULT WINAPI FakeFolderPath(HWND owner, int csidl, HANDLE token, DWORD flags, LPWSTR path) {
  ++g_lookup.calls;
  g_lookup.askedForAppData &= owner == nullptr && csidl == CSIDL_APPDATA && token == nullptr && flags == 0;
  lstrcpynW(path, g_lookup.folder.c_str(), MAX_PATH);
  return g_lookup.result;
}

// The profile writes seen, one line each ("key=value", or "flush" for the all-null call); the write
// of refusedKey fails as the system would.
struct ProfileWrites {
  std::vector<std::wstring> calls;
  std::wstring path;
  std::wstring refusedKey;
} g_writes;

BOOL WINAPI RecordingProfileWrite(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR path) {
  g_writes.path = path;
  if (!section && !key && !value) {
    g_writes.calls.push_back(L"flush");
  } else {
    g_writes.calls.push_back(std::wstring(section) + L":" + key + L"=" + value);
    if (g_writes.refusedKey == key) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
  }
  return WritePrivateProfileStringW(section, key, value, path);
}

const char kDefaultText[] = "[Settings]\r\nFontName=Tahoma\r\nFontColor=2105376\r\nBGColor=0\r\n";

// Each test gets an empty application-data folder of its own inside the prefix's temp folder.
class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    root_ = std::wstring(temp) + L"talvane-settings-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    DeleteTree(root_);
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
    g_lookup = FolderLookup{S_OK, root_.substr(0, root_.size() - 1)};
    g_writes = ProfileWrites{};
    SetFolderPathFunction(FakeFolderPath);
  }

  void TearDown() override {
    SetFolderPathFunction(nullptr);
    SetProfileWriteFunction(nullptr);
    DeleteTree(root_);
    EXPECT_EQ(GetFileAttributesW(root_.c_str()), INVALID_FILE_ATTRIBUTES) << "left behind";
  }

  std::wstring Folder() const { return root_ + L"Morvent\\Talvane\\"; }
  std::wstring IniFile() const { return Folder() + L"talvane.ini"; }
  void MakeFolders() const {
    ASSERT_TRUE(CreateDirectoryW((root_ + L"Morvent").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(Folder().c_str(), nullptr));
  }
  void WriteIni(const std::string& bytes) const {
    MakeFolders();
    ASSERT_TRUE(WriteBytes(IniFile(), bytes));
  }

  std::wstring root_;
};

void ExpectRecord(const TIxSettings& s, const std::wstring& name, int32_t font, int32_t bg, const char* what) {
  EXPECT_EQ(s.FontName, name) << what << ": " << Narrow(s.FontName);
  EXPECT_EQ(s.FontColor, font) << what;
  EXPECT_EQ(s.BGColor, bg) << what;
}

TEST_F(SettingsFile, PathComesFromTheAppDataFolder) {
  EXPECT_EQ(TIxSettings::GetIniPath(), IniFile());
  EXPECT_EQ(g_lookup.calls, 1);
  EXPECT_TRUE(g_lookup.askedForAppData);

  g_lookup.folder = L"D:\\";
  EXPECT_EQ(TIxSettings::GetIniPath(), L"D:\\Morvent\\Talvane\\talvane.ini");

  // The system's own lookup, as the program uses it.
  SetFolderPathFunction(nullptr);
  wchar_t appData[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appData), S_OK);
  EXPECT_EQ(TIxSettings::GetIniPath(), std::wstring(appData) + L"\\Morvent\\Talvane\\talvane.ini");
}

TEST_F(SettingsFile, FailedLookupGivesTheRelativePath) {
  for (HRESULT failure : {E_FAIL, E_INVALIDARG, S_FALSE}) {
    g_lookup.result = failure;
    EXPECT_EQ(TIxSettings::GetIniPath(), L"Morvent\\Talvane\\talvane.ini") << std::hex << failure;
  }
}

template <typename Operation>
void ExpectArgumentError(Operation operation, const char* what) {
  try {
    operation();
    ADD_FAILURE() << what << " raised nothing";
  } catch (const ArgumentError& e) {
    EXPECT_EQ(e.Message(), L"パスに無効な文字が含まれています") << what;
  }
}

TEST_F(SettingsFile, InvalidCharacterInTheFolderRaisesTheArgumentErrorAndTouchesNothing) {
  TIxSettings settings;
  SetProfileWriteFunction(RecordingProfileWrite);
  g_lookup.folder = root_ + L"a|b";
  ExpectArgumentError([] { TIxSettings::GetIniPath(); }, "GetIniPath");
  ExpectArgumentError([] { TIxSettings(); }, "Create");
  g_lookup.folder = root_ + L"a\"b";
  ExpectArgumentError([&] { settings.Save(); }, "Save");
  EXPECT_TRUE(g_writes.calls.empty());
  EXPECT_TRUE(Tree(root_).empty());
}

TEST_F(SettingsFile, NoFileGivesTheDefaultsAndCreatesNothing) {
  const TIxSettings settings;
  ExpectRecord(settings, L"Tahoma", 2105376, 0, "no file");
  EXPECT_TRUE(Tree(root_).empty());

  // Folders without the file, and a file without the section: still the defaults.
  WriteIni("[Other]\r\nFontName=Arial\r\n");
  ExpectRecord(TIxSettings(), L"Tahoma", 2105376, 0, "no section");
}

TEST_F(SettingsFile, SaveCreatesTheFoldersAndTheDefaultText) {
  TIxSettings settings;
  settings.Save();
  EXPECT_EQ(Tree(root_), (std::vector<std::string>{"Morvent\\", "Morvent\\Talvane\\",
                                                   std::string("Morvent\\Talvane\\talvane.ini = ") + kDefaultText}));
}

TEST_F(SettingsFile, SaveAndLoadRoundTrip) {
  TIxSettings settings;
  settings.FontName = L"Courier New";
  settings.FontColor = -16777201;  // a system colour
  settings.BGColor = 0x00FF8040;
  settings.Save();
  EXPECT_EQ(ReadBytes(IniFile()), "[Settings]\r\nFontName=Courier New\r\nFontColor=-16777201\r\nBGColor=16744512\r\n");
  ExpectRecord(TIxSettings(), L"Courier New", -16777201, 0x00FF8040, "read back");

  // Saving again rewrites the values in place, and keys of others stay.
  ASSERT_TRUE(WriteBytes(IniFile(), "[Settings]\r\nFontName=x\r\nExtra=1\r\nBGColor=5\r\n[Other]\r\nA=b\r\n"));
  settings.FontColor = INT32_MIN;
  settings.Save();
  EXPECT_EQ(ReadBytes(IniFile()),
            "[Settings]\r\nFontName=Courier New\r\nExtra=1\r\nBGColor=16744512\r\nFontColor=-2147483648\r\n"
            "[Other]\r\nA=b\r\n");
}

// A file's bytes and the record it must load as.
struct FileCase {
  const char* what;
  std::string file;
  std::wstring name;
  int32_t font;
  int32_t bg;
};

TEST_F(SettingsFile, StoredValuesLoad) {
  const std::wstring longName(3000, L'n');
  const FileCase cases[] = {
      {"0x0000FF", "[Settings]\r\nFontColor=0x0000FF\r\n", L"Tahoma", 255, 0},
      {"$0000FF", "[Settings]\r\nFontColor=$0000FF\r\n", L"Tahoma", 255, 0},
      {"255", "[Settings]\r\nFontColor=255\r\n", L"Tahoma", 255, 0},
      {"$FFFFFFFF", "[Settings]\r\nBGColor=$FFFFFFFF\r\n", L"Tahoma", 2105376, -1},
      {"negative", "[Settings]\r\nFontColor=-16777201\r\nBGColor=-2147483648\r\n", L"Tahoma", -16777201, INT32_MIN},
      {"abc", "[Settings]\r\nFontName=Arial\r\nFontColor=abc\r\nBGColor=7\r\n", L"Arial", 2105376, 7},
      {"space inside quotes", "[Settings]\r\nFontColor=\"255 \"\r\nBGColor=\" 9\"\r\n", L"Tahoma", 2105376, 9},
      {"nine hex digits", "[Settings]\r\nFontColor=$123456789\r\n", L"Tahoma", 2105376, 0},
      {"out of range", "[Settings]\r\nFontColor=2147483648\r\nBGColor=-2147483649\r\n", L"Tahoma", 2105376, 0},
      {"empty values", "[Settings]\r\nFontName=\r\nFontColor=\r\nBGColor=\r\n", L"", 2105376, 0},
      {"3000 characters", "[Settings]\r\nFontName=" + std::string(3000, 'n') + "\r\n", longName.substr(0, 2047),
       2105376, 0},
      {"names in any case", "[settings]\r\nfontname=Arial\r\nFONTCOLOR=1\r\nbgcolor=2\r\n", L"Arial", 1, 2},
  };
  for (const FileCase& c : cases) {
    WriteIni(c.file);
    TIxSettings settings;
    ExpectRecord(settings, c.name, c.font, c.bg, c.what);
    // Load overwrites every field, whatever the record held.
    settings.FontName = L"sentinel";
    settings.FontColor = settings.BGColor = 0x5E5E5E;
    settings.Load();
    ExpectRecord(settings, c.name, c.font, c.bg, c.what);
    DeleteTree(root_ + L"Morvent\\");
  }
}

TEST_F(SettingsFile, HandEditedFilesLoad) {
  const FileCase cases[] = {
      {"spaces", "  [Settings]  \r\n  FontName  =  Arial Black  \r\nFontColor =  255  \r\n\r\n", L"Arial Black", 255, 0},
      {"quotes", "[Settings]\r\nFontName=\"Arial\"\r\nFontColor=\"255\"\r\nBGColor='1'\r\n", L"Arial", 255, 1},
      {"unix line ends", "[Settings]\nFontName=Arial\nFontColor=255\n", L"Arial", 255, 0},
      {"UTF-16 with BOM", Utf16Bytes(L"[Settings]\r\nFontName=ＭＳ ゴシック\r\nFontColor=255\r\n"), L"ＭＳ ゴシック", 255, 0},
      {"comment and repeated key", "[Settings]\r\n;FontName=x\r\nFontColor=1\r\nFontColor=2\r\n", L"Tahoma", 1, 0},
  };
  for (const FileCase& c : cases) {
    WriteIni(c.file);
    ExpectRecord(TIxSettings(), c.name, c.font, c.bg, c.what);
    DeleteTree(root_ + L"Morvent\\");
  }
}

// Whatever the system makes of a damaged file, loading it must not crash: each key gives the value
// the system returns, or its default.
TEST_F(SettingsFile, DamagedFilesLoadWithoutACrash) {
  std::string binary;
  unsigned seed = 12345;
  for (int i = 0; i < 8192; ++i) {
    seed = seed * 1103515245u + 12345u;
    binary += static_cast<char>(seed >> 16);
  }
  const FileCase cases[] = {
      {"binary", binary, L"Tahoma", 2105376, 0},
      {"BOM before binary", std::string("\xFF\xFE", 2) + binary, L"Tahoma", 2105376, 0},
      {"NUL after the section", std::string("[Settings]\0FontName=Arial\0", 26), L"Tahoma", 2105376, 0},
      {"odd-length UTF-16", std::string("\xFF\xFE[", 3), L"Tahoma", 2105376, 0},
      {"CR-only line ends", "[Settings]\rFontName=Arial\rFontColor=255\r", L"Arial", 255, 0},
  };
  for (const FileCase& c : cases) {
    WriteIni(c.file);
    ExpectRecord(TIxSettings(), c.name, c.font, c.bg, c.what);
    DeleteTree(root_ + L"Morvent\\");
  }
}

TEST_F(SettingsFile, RefusedWritesRaiseTheErrorWithTheFullPath) {
  struct Case {
    const char* what;
    void (*prepare)(const std::wstring& root);
  };
  // (A read-only file is not refused here: the tests run as root, and Wine lets root write it.)
  const Case cases[] = {
      {"folder where the file should be",
       [](const std::wstring& root) {
         CreateDirectoryW((root + L"Morvent").c_str(), nullptr);
         CreateDirectoryW((root + L"Morvent\\Talvane").c_str(), nullptr);
         CreateDirectoryW((root + L"Morvent\\Talvane\\talvane.ini").c_str(), nullptr);
       }},
      {"file where a folder should be",
       [](const std::wstring& root) {
         CreateDirectoryW((root + L"Morvent").c_str(), nullptr);
         WriteBytes(root + L"Morvent\\Talvane", "not a folder");
       }},
  };
  for (const Case& c : cases) {
    c.prepare(root_);
    const std::vector<std::string> before = Tree(root_);
    SetProfileWriteFunction(RecordingProfileWrite);
    g_writes = ProfileWrites{};
    TIxSettings settings;
    settings.FontName = L"New";
    try {
      settings.Save();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const IniFileError& e) {
      EXPECT_EQ(e.Message(), IniFile() + L" に書き込めません") << c.what;
    }
    // The first refused write ends the save; the file is still flushed.
    EXPECT_EQ(g_writes.calls, (std::vector<std::wstring>{L"flush", L"Settings:FontName=New", L"flush"})) << c.what;
    EXPECT_EQ(Tree(root_), before) << c.what;
    DeleteTree(root_ + L"Morvent\\");
  }
}

TEST_F(SettingsFile, ASaveStopsAtTheFirstRefusedKey) {
  WriteIni(kDefaultText);
  SetProfileWriteFunction(RecordingProfileWrite);
  TIxSettings settings;
  EXPECT_EQ(g_writes.calls, (std::vector<std::wstring>{L"flush"}));
  EXPECT_EQ(g_writes.path, IniFile());

  settings.FontName = L"Arial";
  settings.FontColor = 1;
  settings.BGColor = 2;
  g_writes = ProfileWrites{{}, {}, L"FontColor"};
  EXPECT_THROW(settings.Save(), IniFileError);
  EXPECT_EQ(g_writes.calls,
            (std::vector<std::wstring>{L"Settings:FontName=Arial", L"Settings:FontColor=1", L"flush"}));
  EXPECT_EQ(ReadBytes(IniFile()), "[Settings]\r\nFontName=Arial\r\nFontColor=2105376\r\nBGColor=0\r\n");

  g_writes = ProfileWrites{};
  settings.Save();
  EXPECT_EQ(g_writes.calls, (std::vector<std::wstring>{L"Settings:FontName=Arial", L"Settings:FontColor=1",
                                                        L"Settings:BGColor=2", L"flush"}));
}

TEST_F(SettingsFile, FolderExistence) {
  MakeFolders();
  ASSERT_TRUE(WriteBytes(root_ + L"file", "x"));
  // Errors outside the not-found family count as a folder that is there: Wine answers 66 (bad
  // device type) for a network path. (Wine's CreateSymbolicLinkW makes no link, so reparse points
  // cannot be made here.)
  struct Case {
    std::wstring path;
    bool exists;
    DWORD error;  // what GetFileAttributesW reports, 0 when it succeeds
  } const cases[] = {
      {Folder(), true, 0},
      {root_ + L"Morvent", true, 0},
      {root_ + L"file", false, 0},
      {root_ + L"file\\", false, ERROR_PATH_NOT_FOUND},
      {root_ + L"missing\\", false, ERROR_FILE_NOT_FOUND},
      {root_ + L"missing\\deeper\\", false, ERROR_PATH_NOT_FOUND},
      {root_ + L"bad?name\\", false, ERROR_INVALID_NAME},
      {L"Q:\\", false, ERROR_PATH_NOT_FOUND},
      {L"\\\\nosuchserver\\share\\", true, ERROR_BAD_DEV_TYPE},
  };
  for (const Case& c : cases) {
    SetLastError(0);
    const DWORD attributes = GetFileAttributesW(c.path.c_str());
    EXPECT_EQ(attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0, c.error) << Narrow(c.path);
    EXPECT_EQ(FolderExists(c.path), c.exists) << Narrow(c.path);
  }
}

}  // namespace
