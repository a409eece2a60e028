#pragma once
#include <windows.h>

#include <string>

// Test seams for TIxSettings. nullptr restores the system function.
// The per-user folder lookup, shaped like SHGetFolderPathW.
using FolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
void SetFolderPathFunction(FolderPathFunction function);
// The profile writes, including the final flush call; shaped like WritePrivateProfileStringW.
using ProfileWriteFunction = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR);
void SetProfileWriteFunction(ProfileWriteFunction function);

// The per-user application-data folder, or empty text when the lookup fails.
std::wstring AppDataFolder();

// Whether a folder exists. Not-found-like errors mean missing; other errors mean present; a
// reparse point counts only when its target opens.
bool FolderExists(const std::wstring& folder);
