// Path and file operations. The string operations know the backslash only
// (nameOffset also the slash, the separator entry names may carry); the file
// operations go to the platform layer.
#include "install/path_ops.h"

#include <cstring>

#include "archive/archive_format.h"

void addTrailingSlash(char* path) {
  const size_t length = strlen(path);
  if (length == 0 || path[length - 1] == '\\') return;
  path[length] = '\\';
  path[length + 1] = '\0';
}

void cutLastComponent(char* path) {
  const char* last = strrchr(path, '\\');
  const size_t position = last != nullptr ? static_cast<size_t>(last - path) : 0;
  // "C:\" : the backslash of a drive root stands at position 2 and stays.
  path[position == 2 ? 3 : position] = '\0';
}

uint16_t nameOffset(const char* path) {
  uint16_t offset = 0;
  for (uint16_t i = 0; path[i] != '\0'; ++i) {
    if (path[i] == '\\' || path[i] == '/') offset = static_cast<uint16_t>(i + 1);
  }
  return offset;
}

int createPath(const char* path) {
  const DirectoryResult made = platformCreateDirectory(path);
  if (made == DirectoryCreated) return PathDone;
  if (made != DirectoryParentMissing) return PathFailed;

  char parent[PathBufferSize];
  if (strlen(path) >= sizeof parent) return PathFailed;
  strcpy(parent, path);
  cutLastComponent(parent);
  // Nothing left, or a root that keeps its form under the cut: no parent to make.
  if (parent[0] == '\0' || strcmp(parent, path) == 0) return PathFailed;
  const int parentResult = createPath(parent);
  if (parentResult != PathDone) return parentResult;
  return platformCreateDirectory(path) == DirectoryCreated ? PathDone : PathParentsOnly;
}

int fileExists(const char* path) {
  uint32_t attributes;
  return platformReadAttributes(path, &attributes) ? PathDone : PathFailed;
}

int makeWritable(const char* path) {
  uint32_t attributes;
  if (!platformReadAttributes(path, &attributes)) return PathFailed;
  return platformWriteAttributes(path, attributes & ~AttributeReadOnly) ? PathDone : PathFailed;
}

int removeFile(WindowHandle owner, char* path) {
  makeWritable(path);
  return platformDeleteFile(owner, path) ? PathDone : RemoveFailed;
}
