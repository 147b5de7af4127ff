// Path and file operations of the installation. Paths are narrow strings in
// 260-byte buffers with backslash separators; results are small integers with
// 0 for success, as everywhere in the installation (fileExists too: 0 means
// the path exists).
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Results of the operations below.
constexpr int PathDone = 0;
constexpr int PathFailed = 2;       // the common failure value
constexpr int PathParentsOnly = 3;  // createPath: parents made, the directory itself not
constexpr int RemoveFailed = 32;    // removeFile: the file is still there

// Appends a backslash unless the path is empty or already ends in one. The
// buffer must hold one character more than the text.
void addTrailingSlash(char* path);

// Cuts the path at its last backslash. A backslash at position 2 stays, so a
// drive root keeps its form (C:\WINDOWS becomes C:\); a path without a
// backslash, or whose only backslash comes first, becomes empty.
void cutLastComponent(char* path);

// Position just after the last backslash or slash, 0 when there is none.
uint16_t nameOffset(const char* path);

// Creates a directory (at most 259 characters) with its missing parents.
// 0 created; 2 not created for another reason than a missing parent (it
// exists already, ...) or no parent left to create; 3 the parents were made
// but the directory itself still cannot be.
int createPath(const char* path);

// 0 when a file or directory of that name exists, 2 when not.
int fileExists(const char* path);

// Clears the read-only attribute and keeps the others: 0, or 2 on failure.
int makeWritable(const char* path);

// Makes the file writable and deletes it, in one attempt: 0 when it is gone,
// 32 when not. path needs room for one byte after its terminator.
int removeFile(WindowHandle owner, char* path);
