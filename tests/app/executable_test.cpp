#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

#include "support/win_test_support.h"

namespace {

// The executable's resources, read as a data file.
class ExecutableResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExW(testing_support::TalvaneScrPath().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr);
  }
  void TearDown() override { FreeLibrary(module_); }

  std::string Resource(const wchar_t* type, const wchar_t* name) {
    HRSRC found = FindResourceW(module_, name, type);
    if (!found) return {};
    HGLOBAL data = LoadResource(module_, found);
    return std::string(static_cast<const char*>(LockResource(data)), SizeofResource(module_, found));
  }

  HMODULE module_ = nullptr;
};

TEST_F(ExecutableResources, ManifestAsksForPerMonitorV2AndCommonControls6) {
  const std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
  ASSERT_FALSE(manifest.empty());
  for (const char* needle :
       {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2<",
        ">true/pm<", "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "level=\"asInvoker\" uiAccess=\"false\"",
        "e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
        "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
        "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"}) {
    EXPECT_NE(manifest.find(needle), std::string::npos) << needle;
  }
}

TEST_F(ExecutableResources, MainIconHoldsFiveSizesAt32Bits) {
#pragma pack(push, 2)
  struct GroupEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
  };
#pragma pack(pop)
  const std::string group = Resource(RT_GROUP_ICON, L"MAINICON");
  ASSERT_GE(group.size(), 6u);
  const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
  ASSERT_EQ(group.size(), 6 + count * sizeof(GroupEntry));
  std::set<int> sizes;
  for (WORD i = 0; i < count; ++i) {
    const auto* e = reinterpret_cast<const GroupEntry*>(group.data() + 6 + i * sizeof(GroupEntry));
    const int size = e->width == 0 ? 256 : e->width;
    EXPECT_EQ(e->bitCount, 32) << size;
    EXPECT_FALSE(Resource(RT_ICON, MAKEINTRESOURCEW(e->id)).empty()) << size;
    sizes.insert(size);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));
  // And the system can load each of them.
  for (int size : sizes) {
    HICON icon = static_cast<HICON>(LoadImageW(module_, L"MAINICON", IMAGE_ICON, size, size, 0));
    EXPECT_NE(icon, nullptr) << size;
    if (icon) DestroyIcon(icon);
  }
}

// The Screen Saver Settings list names a saver by its string 1.
TEST_F(ExecutableResources, StringOneNamesTheSaver) {
  wchar_t text[64];
  std::fill(std::begin(text), std::end(text), L'#');
  EXPECT_EQ(LoadStringW(module_, 1, text, 64), 7);
  EXPECT_STREQ(text, L"Talvane");
}

TEST(ExecutableVersion, CarriesTheVersionRecord) {
  const std::wstring path = testing_support::TalvaneScrPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::string data(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);

  struct Field {
    const wchar_t* name;
    const wchar_t* value;
  };
  const Field fields[] = {{L"FileVersion", L"1.0.0.0"},        {L"ProductVersion", L"1.0.0.0"},
                          {L"FileDescription", L"talvane"},    {L"ProductName", L"talvane"},
                          {L"OriginalFilename", L"talvane.exe"}};
  for (const Field& f : fields) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904E4\\") + f.name;
    wchar_t* value = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &len)) << f.name;
    EXPECT_STREQ(value, f.value);
  }
}

}  // namespace
