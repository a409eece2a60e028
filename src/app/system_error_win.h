#pragma once
#include <windows.h>

#include <string>

// The system's message text for an error code (FormatMessageW), without the trailing line break.
std::wstring SystemErrorMessage(DWORD code);

// Raises OutOfResourcesError with the system's message for the last error. Some refusals leave
// no last error; the user would then read "success" in the error box, so those report a lack of
// memory instead.
[[noreturn]] void RaiseOutOfResources();
