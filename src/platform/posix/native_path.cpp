#include "platform/posix/native_path.h"

bool toNativePath(const char* path, NativePath& native) {
  int i = 0;
  for (; path[i] != '\0'; ++i) {
    if (i + 1 >= PATH_MAX) return false;
    native.text[i] = path[i] == '\\' ? '/' : path[i];
  }
  native.text[i] = '\0';
  return true;
}
