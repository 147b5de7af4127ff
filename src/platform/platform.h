// The thin layer between the system and the operating system. Everything above
// it keeps Windows' conventions (backslash separators, 8-bit path strings in
// 260-byte buffers, MS-DOS times as local time); each backend maps them to its
// own system. Exactly one backend is linked: win32/ on Windows, posix/ elsewhere.
// Each operation is named by what the installation needs, not by the call that
// provides it, and gives the same results on both backends.
#pragma once

#include <cstdint>
#include <cstdio>

// A window that owns message boxes and holds the progress line: an HWND on
// Windows, unused elsewhere. Null means no owner: a console run, whose progress
// line and messages go to the standard output and error streams.
using WindowHandle = void*;

// Opens a buffered stream. shareCode: 0 others may not read, 1 others may not
// write, 2 and 3 no restriction; other values go to the platform unchanged.
// Backends without share modes open normally.
FILE* platformOpenShared(const char* path, const char* mode, int shareCode);

// Opens the system's null device for writing: a stream that accepts every byte
// and keeps none, for runs that check an archive without writing a file.
FILE* platformOpenDiscard();

// --- files and directories ---

enum DirectoryResult : int {
  DirectoryCreated = 0,
  DirectoryNotCreated = 2,    // exists already, access denied, invalid name ...
  DirectoryParentMissing = 3  // a directory above it does not exist
};

// Creates one directory; its parent must exist.
DirectoryResult platformCreateDirectory(const char* path);

// Reads the attribute bits of a file or directory (AttributeReadOnly,
// AttributeDirectory ...). False when nothing of that name can be found.
bool platformReadAttributes(const char* path, uint32_t* attributes);

// Gives a file or directory the attribute bits; bits the system cannot hold
// are dropped. False when they cannot be set.
bool platformWriteAttributes(const char* path, uint32_t attributes);

// Deletes a file outright (not to a recycle bin). path must have room for one
// byte after its terminator, which may be set to NUL. owner may own any box the
// system itself shows about the deletion. True when the file is gone.
bool platformDeleteFile(WindowHandle owner, char* path);

// Sets the last write time of an existing file that can be opened for writing
// to an MS-DOS date and time (date in the high 16 bits) read as local time;
// the creation and last access times stay. False when nothing was changed.
bool platformSetWriteTime(const char* path, uint32_t dosDateTime);

// --- the user's record and the system's places ---

// Reads the value valueName under the current user's key keyPath into buffer
// (at most size bytes, taken as they are stored). Returns the number of bytes
// read, or -1 when the key or the value is missing or does not fit.
int32_t platformReadUserValue(const char* keyPath, const char* valueName, char* buffer,
                              uint32_t size);

// Stores text with its terminating NUL as the value valueName under the
// current user's key keyPath, creating the key. Failures are not reported.
void platformWriteUserValue(const char* keyPath, const char* valueName, const char* text);

// Fills buffer (size bytes) with the path of the Windows directory; leaves it
// untouched when the place is not known.
void platformWindowsDirectory(char* buffer, uint32_t size);

// --- what the user sees ---

// Shows the name of the entry being installed in the owner's progress line.
void platformShowProgress(WindowHandle owner, const char* name);

// Shows an error message with one button and waits until it is dismissed.
void platformShowError(WindowHandle owner, const char* text, const char* caption);
