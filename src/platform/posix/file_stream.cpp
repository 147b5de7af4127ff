// POSIX streams: no share modes exist, so the share code is dropped; the path's
// backslashes become slashes at this boundary.
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/native_path.h"

FILE* platformOpenShared(const char* path, const char* mode, int /*shareCode*/) {
  NativePath native;
  if (!toNativePath(path, native)) return nullptr;
  return fopen(native.text, mode);
}

FILE* platformOpenDiscard() {
  return fopen("/dev/null", "wb");
}
