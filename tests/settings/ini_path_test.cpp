#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/errors.h"
#include "settings/ini_path.h"

namespace {

std::string Narrow(const std::wstring& s) {
  std::string out;
  for (wchar_t c : s) out += c >= 32 && c < 128 ? static_cast<char>(c) : '?';
  return out;
}

TEST(IniPath, JoinsWithOneSeparator) {
  struct Case {
    const wchar_t* left;
    const wchar_t* right;
    const wchar_t* expected;
  } const cases[] = {
      {L"C:\\Users\\u\\AppData\\Roaming", L"Morvent", L"C:\\Users\\u\\AppData\\Roaming\\Morvent"},
      {L"C:\\Data\\", L"Morvent", L"C:\\Data\\Morvent"},
      {L"C:/Data/", L"Morvent", L"C:/Data/Morvent"},
      {L"C:", L"Morvent", L"C:Morvent"},
      {L"\\\\server\\share", L"x", L"\\\\server\\share\\x"},
      {L"a", L"\\b", L"a\\\\b"},  // only the left end decides
      {L"a", L"", L"a\\"},
      {L"", L"Morvent", L"Morvent"},
      {L"", L"", L""},
      {L"", L"bad|name", L"bad|name"},  // an empty left part takes the right one alone, unchecked
      {L"what*ever?", L"x*?", L"what*ever?\\x*?"},
      {L"日本語", L"フォルダ", L"日本語\\フォルダ"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JoinPath(c.left, c.right), c.expected) << Narrow(c.left) << " + " << Narrow(c.right);
  }
}

TEST(IniPath, EveryInvalidCharacterOnEitherSideRaisesTheArgumentError) {
  std::wstring invalid = L"\"<>|";
  for (wchar_t c = 0; c <= 0x1F; ++c) invalid += c;
  for (wchar_t c : invalid) {
    const std::wstring bad = std::wstring(L"a") + c + L"b";
    for (const auto& [left, right] : {std::pair{bad, std::wstring(L"x")}, std::pair{std::wstring(L"x"), bad}}) {
      try {
        JoinPath(left, right);
        ADD_FAILURE() << "no error for character " << static_cast<int>(c);
      } catch (const ArgumentError& e) {
        EXPECT_EQ(e.Message(), L"パスに無効な文字が含まれています");
      }
    }
  }
  // Every other character up to U+00FF passes.
  for (wchar_t c = 0x20; c <= 0xFF; ++c) {
    if (invalid.find(c) == std::wstring::npos) {
      EXPECT_NO_THROW(JoinPath(std::wstring(1, c), std::wstring(1, c))) << static_cast<int>(c);
    }
  }
}

TEST(IniPath, BuildsTheSettingsPathFromTheFolder) {
  EXPECT_EQ(IniPathBelow(L"C:\\Users\\u\\AppData\\Roaming"),
            L"C:\\Users\\u\\AppData\\Roaming\\Morvent\\Talvane\\talvane.ini");
  EXPECT_EQ(IniPathBelow(L"D:\\"), L"D:\\Morvent\\Talvane\\talvane.ini");
  EXPECT_EQ(IniPathBelow(L""), L"Morvent\\Talvane\\talvane.ini");
  EXPECT_THROW(IniPathBelow(L"C:\\a<b"), ArgumentError);
}

TEST(IniPath, FolderPartKeepsTheLastSeparator) {
  struct Case {
    const wchar_t* path;
    const wchar_t* expected;
  } const cases[] = {
      {L"C:\\a\\b\\talvane.ini", L"C:\\a\\b\\"},
      {L"C:\\a\\b\\", L"C:\\a\\b\\"},
      {L"C:talvane.ini", L"C:"},
      {L"C:\\a:b", L"C:\\a:"},
      {L"Morvent\\Talvane\\talvane.ini", L"Morvent\\Talvane\\"},
      {L"C:/a/b.ini", L"C:"},  // '/' is not a separator here
      {L"talvane.ini", L""},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(FolderPart(c.path), c.expected) << Narrow(c.path);
}

TEST(IniPath, OnlyNotFoundLikeErrorsMeanAMissingFolder) {
  const std::set<uint32_t> missing = {2, 3, 21, 53, 67, 123, 161};
  for (uint32_t code = 0; code < 2000; ++code) {
    EXPECT_EQ(ErrorMeansMissingFolder(code), missing.count(code) == 1) << "error " << code;
  }
  EXPECT_FALSE(ErrorMeansMissingFolder(0xFFFFFFFFu));
}

// A file system of folder names that records what is asked of it.
struct FakeFolders {
  std::set<std::wstring> present;
  std::set<std::wstring> refused;
  std::vector<std::wstring> calls;

  FolderOperations Operations() {
    return {[this](const std::wstring& dir) {
              calls.push_back(L"exists " + dir);
              return present.count(dir) == 1;
            },
            [this](const std::wstring& dir) {
              calls.push_back(L"create " + dir);
              if (refused.count(dir) == 1) return false;
              present.insert(dir);
              return true;
            }};
  }
};

std::string Lines(const std::vector<std::wstring>& calls) {
  std::string out;
  for (const auto& call : calls) out += Narrow(call) + "\n";
  return out;
}

TEST(IniPath, CreatesMissingParentsFirstAndStopsAtTheFirstFailure) {
  struct Case {
    const char* name;
    const wchar_t* folder;
    std::set<std::wstring> present;
    std::set<std::wstring> refused;
    bool result;
    std::vector<std::wstring> calls;
  } const cases[] = {
      {"two missing levels",
       L"C:\\Roaming\\Morvent\\Talvane\\",
       {L"C:", L"C:\\Roaming"},
       {},
       true,
       {L"exists C:\\Roaming\\Morvent\\Talvane", L"exists C:\\Roaming\\Morvent", L"exists C:\\Roaming",
        L"create C:\\Roaming\\Morvent", L"create C:\\Roaming\\Morvent\\Talvane"}},
      {"already there", L"C:\\Roaming\\", {L"C:\\Roaming"}, {}, true, {L"exists C:\\Roaming"}},
      {"parent refused",
       L"C:\\ro\\Morvent\\Talvane\\",
       {L"C:\\ro"},
       {L"C:\\ro\\Morvent"},
       false,
       {L"exists C:\\ro\\Morvent\\Talvane", L"exists C:\\ro\\Morvent", L"exists C:\\ro", L"create C:\\ro\\Morvent"}},
      {"missing drive: shorter than three, created alone",
       L"Q:\\a\\",
       {},
       {L"Q:"},
       false,
       {L"exists Q:\\a", L"exists Q:", L"create Q:"}},
      {"own parent", L"C:\\a:", {}, {}, true, {L"exists C:\\a:", L"create C:\\a:"}},
      {"relative path reaches the empty folder",
       L"Morvent\\Talvane\\",
       {},
       {L""},
       false,
       {L"exists Morvent\\Talvane", L"exists Morvent", L"exists ", L"create "}},
      {"only one trailing separator goes", L"C:\\a\\\\", {L"C:\\a\\"}, {}, true, {L"exists C:\\a\\"}},
  };
  for (const Case& c : cases) {
    FakeFolders fs{c.present, c.refused, {}};
    EXPECT_EQ(CreateFolderWithParents(c.folder, fs.Operations()), c.result) << c.name;
    EXPECT_EQ(fs.calls, c.calls) << c.name << ":\n" << Lines(fs.calls);
  }
}

}  // namespace
