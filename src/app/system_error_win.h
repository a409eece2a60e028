#pragma once
#include <windows.h>

#include <string>

// The system's message text for an error code (FormatMessageW), without the trailing line break.
std::wstring SystemErrorMessage(DWORD code);
