// Conversion of the system's backslash paths to POSIX paths.
#pragma once

#include <climits>

struct NativePath {
  char text[PATH_MAX];
};

// Copies path with every backslash turned into a slash. False when it does not fit.
bool toNativePath(const char* path, NativePath& native);
