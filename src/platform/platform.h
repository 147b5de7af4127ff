// The thin layer between the system and the operating system. Everything above
// it keeps Windows' conventions (backslash separators, 8-bit path strings in
// 260-byte buffers, MS-DOS times as local time); each backend maps them to its
// own system. Exactly one backend is linked: win32/ on Windows, posix/ elsewhere.
#pragma once

#include <cstdio>

// A window that owns message boxes and holds the progress line: an HWND on
// Windows, unused elsewhere. Null means no owner.
using WindowHandle = void*;

// Opens a buffered stream. shareCode: 0 others may not read, 1 others may not
// write, 2 and 3 no restriction; other values go to the platform unchanged.
// Backends without share modes open normally.
FILE* platformOpenShared(const char* path, const char* mode, int shareCode);
