// POSIX counterparts of the user's registry key and the Windows directory. A
// key is a directory under $XDG_CONFIG_HOME (default ~/.config) with the key's
// path below it, and each value a file holding the value's bytes, so the
// directory record is ~/.config/Software/Tarnivole/Dir. There is no Windows
// directory: $TV_WINDOWS_DIR names the place that stands for it (tests set it).
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/native_path.h"

namespace {

// Appends text to path at *length, slashes for backslashes; false when it does not fit.
bool appendNative(NativePath& path, size_t* length, const char* text) {
  for (; *text != '\0'; ++text) {
    if (*length + 1 >= sizeof path.text) return false;
    path.text[(*length)++] = *text == '\\' ? '/' : *text;
  }
  path.text[*length] = '\0';
  return true;
}

// The directory that holds the user's keys, without a final slash.
bool configHome(NativePath& path, size_t* length) {
  *length = 0;
  const char* config = getenv("XDG_CONFIG_HOME");
  if (config != nullptr && config[0] == '/') return appendNative(path, length, config);
  const char* home = getenv("HOME");
  return home != nullptr && home[0] != '\0' && appendNative(path, length, home) &&
         appendNative(path, length, "/.config");
}

bool valuePath(const char* keyPath, const char* valueName, NativePath& path) {
  size_t length;
  return configHome(path, &length) && appendNative(path, &length, "/") &&
         appendNative(path, &length, keyPath) && appendNative(path, &length, "/") &&
         appendNative(path, &length, valueName);
}

// Creates every directory above the value's file.
void createParents(NativePath& path) {
  for (char* slash = strchr(path.text + 1, '/'); slash != nullptr; slash = strchr(slash + 1, '/')) {
    *slash = '\0';
    mkdir(path.text, 0700);
    *slash = '/';
  }
}

}  // namespace

int32_t platformReadUserValue(const char* keyPath, const char* valueName, char* buffer,
                              uint32_t size) {
  NativePath path;
  if (!valuePath(keyPath, valueName, path)) return -1;
  FILE* file = fopen(path.text, "rb");
  if (file == nullptr) return -1;
  // One byte more than fits tells a value that is too long.
  char probe;
  const size_t count = fread(buffer, 1, size, file);
  const bool tooLong = count == size && fread(&probe, 1, 1, file) == 1;
  fclose(file);
  return tooLong ? -1 : static_cast<int32_t>(count);
}

void platformWriteUserValue(const char* keyPath, const char* valueName, const char* text) {
  NativePath path;
  if (!valuePath(keyPath, valueName, path)) return;
  createParents(path);
  FILE* file = fopen(path.text, "wb");
  if (file == nullptr) return;
  fwrite(text, 1, strlen(text) + 1, file);
  fclose(file);
}

void platformWindowsDirectory(char* buffer, uint32_t size) {
  const char* place = getenv("TV_WINDOWS_DIR");
  if (place == nullptr || strlen(place) >= size) return;
  for (uint32_t i = 0;; ++i) {
    buffer[i] = place[i] == '/' ? '\\' : place[i];
    if (place[i] == '\0') break;
  }
}
