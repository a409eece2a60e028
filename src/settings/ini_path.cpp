#include "settings/ini_path.h"

#include "app/errors.h"

namespace {

bool HasInvalidPathCharacter(std::wstring_view part) {
  for (wchar_t c : part) {
    if (c <= 0x1F || c == L'"' || c == L'<' || c == L'>' || c == L'|') return true;
  }
  return false;
}

}  // namespace

std::wstring JoinPath(std::wstring_view left, std::wstring_view right) {
  if (left.empty()) return std::wstring(right);
  if (HasInvalidPathCharacter(left) || HasInvalidPathCharacter(right)) {
    throw ArgumentError(L"パスに無効な文字が含まれています");
  }
  std::wstring joined(left);
  const wchar_t last = left.back();
  if (last != L'\\' && last != L'/' && last != L':') joined += L'\\';
  joined += right;
  return joined;
}

std::wstring IniPathBelow(std::wstring_view appDataFolder) {
  return JoinPath(JoinPath(JoinPath(appDataFolder, L"Morvent"), L"Talvane"), L"talvane.ini");
}

std::wstring FolderPart(std::wstring_view path) {
  const size_t last = path.find_last_of(L"\\:");
  return last == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(0, last + 1));
}

bool ErrorMeansMissingFolder(uint32_t errorCode) {
  switch (errorCode) {
    case 2:    // file not found
    case 3:    // path not found
    case 21:   // device not ready
    case 53:   // bad network path
    case 67:   // bad network name
    case 123:  // invalid name
    case 161:  // bad path name
      return true;
    default:
      return false;
  }
}

bool CreateFolderWithParents(std::wstring_view folder, const FolderOperations& operations) {
  std::wstring dir(folder);
  if (!dir.empty() && dir.back() == L'\\') dir.pop_back();
  if (operations.exists(dir)) return true;
  const std::wstring parent = FolderPart(dir);
  if (dir.size() < 3 || parent == dir) return operations.create(dir);
  return CreateFolderWithParents(parent, operations) && operations.create(dir);
}
