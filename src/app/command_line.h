#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The arguments after the program name, up to (not including) the first empty one.
// Characters with codes 1 to 32 separate arguments; a double quote opens a run that copies
// everything up to the next double quote; a NUL ends the line.
std::vector<std::wstring> SplitArguments(std::wstring_view commandLine);

enum class RunMode { Setup, Preview, FullScreen };

struct ModeSelection {
  std::wstring CommandArg;    // first argument in upper case, or "/C"; never empty
  int32_t PreviewParent = 0;  // host window of a preview, or 0
  RunMode Mode = RunMode::Setup;
};

// Only the second character of the first argument decides: "C" setup, "P" preview (with the
// second argument as the host window handle), anything else the full-screen saver. A preview
// without a usable handle runs full-screen.
ModeSelection SelectMode(const std::vector<std::wstring>& arguments);
