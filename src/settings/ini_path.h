#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Joins two parts of a path. An empty left part gives the right part alone, unchecked (a failed
// folder lookup thus yields a relative path). Otherwise both parts are checked for characters that
// are invalid in a path (U+0000..U+001F, '"', '<', '>', '|'; '*' and '?' pass), raising
// ArgumentError on one, and joined with one '\' unless the left part ends with '\', '/' or ':'.
// Total: raises ArgumentError and nothing else.
std::wstring JoinPath(std::wstring_view left, std::wstring_view right);

// The settings file's path below the per-user application-data folder (empty when unknown):
// folder\Morvent\Talvane\talvane.ini.
std::wstring IniPathBelow(std::wstring_view appDataFolder);

// Everything up to and including the last '\' or ':'; empty when there is neither.
std::wstring FolderPart(std::wstring_view path);

// Whether a failed attribute lookup means the folder is missing. Only "not found"-like errors do;
// any other error (access denied, sharing violation...) means something is there.
bool ErrorMeansMissingFolder(uint32_t errorCode);

// Creates a folder and every missing parent: one trailing '\' is removed; an existing folder is
// done; one shorter than three characters, or its own parent, is created alone; otherwise the
// parent comes first. Stops at the first failure and returns false.
struct FolderOperations {
  std::function<bool(const std::wstring&)> exists;
  std::function<bool(const std::wstring&)> create;
};
bool CreateFolderWithParents(std::wstring_view folder, const FolderOperations& operations);
