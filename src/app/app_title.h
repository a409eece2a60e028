#pragma once
#include <string>
#include <string_view>

// The application title: the executable's file name without its folder, cut at its first ".",
// first character in upper case and every other in lower case ("FOO.BAR.scr" gives "Foo").
std::wstring ApplicationTitleFromPath(std::wstring_view exePath);
