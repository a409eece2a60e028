// Joins fuzzed path parts and takes folder parts of the results, checking the joining rules and
// that nothing but the argument error ever leaves these functions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/errors.h"
#include "fuzz/fuzz_input.h"
#include "settings/ini_path.h"

namespace {

const std::wstring kInvalidPathMessage = L"パスに無効な文字が含まれています";
constexpr std::wstring_view kBelowFolder = L"Morvent\\Talvane\\talvane.ini";

bool IsInvalidInPath(wchar_t c) {
  return c < 32 || c == L'"' || c == L'<' || c == L'>' || c == L'|';
}

bool HasInvalid(std::wstring_view part) {
  for (wchar_t c : part) {
    if (IsInvalidInPath(c)) return true;
  }
  return false;
}

bool NeedsSeparator(std::wstring_view left) {
  const wchar_t last = left.back();
  return last != L'\\' && last != L'/' && last != L':';
}

// Runs a join and returns whether it raised the argument error; any other exception escapes to
// libFuzzer, which reports it as a finding.
template <typename Join>
bool RaisesArgumentError(Join join) {
  try {
    join();
    return false;
  } catch (const ArgumentError& e) {
    FUZZ_CHECK(e.Message() == kInvalidPathMessage);
    return true;
  }
}

void CheckJoin(std::wstring_view left, std::wstring_view right) {
  std::wstring joined;
  const bool raised = RaisesArgumentError([&] { joined = JoinPath(left, right); });
  if (left.empty()) {
    FUZZ_CHECK(!raised);
    FUZZ_CHECK(joined == right);
    return;
  }
  FUZZ_CHECK(raised == (HasInvalid(left) || HasInvalid(right)));
  if (raised) return;
  const size_t separator = NeedsSeparator(left) ? 1 : 0;
  FUZZ_CHECK(joined.size() == left.size() + separator + right.size());
  FUZZ_CHECK(std::wstring_view(joined).substr(0, left.size()) == left);
  FUZZ_CHECK(std::wstring_view(joined).substr(left.size() + separator) == right);
  if (separator == 1) FUZZ_CHECK(joined[left.size()] == L'\\');
}

void CheckFolderPart(std::wstring_view path) {
  const std::wstring folder = FolderPart(path);
  FUZZ_CHECK(path.substr(0, folder.size()) == folder);
  if (folder.empty()) {
    FUZZ_CHECK(path.find_first_of(L"\\:") == std::wstring_view::npos);
  } else {
    FUZZ_CHECK(folder.back() == L'\\' || folder.back() == L':');
    FUZZ_CHECK(path.substr(folder.size()).find_first_of(L"\\:") == std::wstring_view::npos);
  }
}

void CheckSettingsPath(std::wstring_view appData) {
  std::wstring path;
  const bool raised = RaisesArgumentError([&] { path = IniPathBelow(appData); });
  FUZZ_CHECK(raised == (!appData.empty() && HasInvalid(appData)));
  if (raised) return;
  std::wstring expected(appData);
  if (!appData.empty() && NeedsSeparator(appData)) expected += L'\\';
  expected += kBelowFolder;
  FUZZ_CHECK(path == expected);
  FUZZ_CHECK(FolderPart(path) == path.substr(0, path.size() - std::wstring_view(L"talvane.ini").size()));
}

// Every folder asked for lies on the way to the requested one, parents before children, and the
// requested folder (less one trailing '\') is created last.
void CheckFolderCreation(std::wstring_view folder) {
  std::vector<std::wstring> created;
  const FolderOperations operations{[](const std::wstring&) { return false; },
                                    [&](const std::wstring& dir) {
                                      created.push_back(dir);
                                      return true;
                                    }};
  FUZZ_CHECK(CreateFolderWithParents(folder, operations));
  std::wstring_view target = folder;
  if (!target.empty() && target.back() == L'\\') target.remove_suffix(1);
  FUZZ_CHECK(!created.empty() && created.back() == target);
  for (size_t i = 1; i < created.size(); ++i) {
    FUZZ_CHECK(created[i - 1].size() < created[i].size());
    FUZZ_CHECK(std::wstring_view(created[i]).substr(0, created[i - 1].size()) == created[i - 1]);
  }
}

}  // namespace

// The first byte says how many code units of the rest form the left part.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::wstring text = Utf16FromBytes(data + 1, size - 1);
  const size_t split = data[0] % (text.size() + 1);
  const std::wstring_view left = std::wstring_view(text).substr(0, split);
  const std::wstring_view right = std::wstring_view(text).substr(split);

  CheckJoin(left, right);
  CheckFolderPart(text);
  CheckSettingsPath(left);
  CheckFolderCreation(text);
  return 0;
}
