#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Process-wide values set by the main routine and read by the saver windows.
extern std::wstring CommandArg;
extern int32_t PreviewParent;

// Splits the command line, selects the run mode and runs it; returns the process exit code.
int MainRoutine(std::wstring_view commandLine);
