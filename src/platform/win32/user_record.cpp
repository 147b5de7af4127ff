// The user's record in the registry under HKEY_CURRENT_USER, and the Windows
// directory.
#include <windows.h>

#include "platform/platform.h"

int32_t platformReadUserValue(const char* keyPath, const char* valueName, char* buffer,
                              uint32_t size) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
  DWORD length = size;
  const LONG read =
      RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length);
  RegCloseKey(key);
  return read == ERROR_SUCCESS ? static_cast<int32_t>(length) : -1;
}

void platformWriteUserValue(const char* keyPath, const char* valueName, const char* text) {
  HKEY key;
  DWORD disposition;
  // The text also becomes the class of a key created now, as it always has.
  if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, const_cast<char*>(text),
                      REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key,
                      &disposition) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>(lstrlenA(text) + 1));
  RegCloseKey(key);
}

void platformWindowsDirectory(char* buffer, uint32_t size) {
  GetWindowsDirectoryA(buffer, size);
}
