// Windows files and directories, through the calls the installation has always
// made: CreateDirectoryA with its last error, the attribute calls, DeleteFileA
// on the Windows 95 family and the shell's delete on the NT family, and the
// file time calls that keep the creation and last access times.
#include <windows.h>
// shellapi.h needs the types windows.h declares.
#include <shellapi.h>

#include "platform/platform.h"

DirectoryResult platformCreateDirectory(const char* path) {
  if (CreateDirectoryA(path, nullptr)) return DirectoryCreated;
  return GetLastError() == ERROR_PATH_NOT_FOUND ? DirectoryParentMissing : DirectoryNotCreated;
}

bool platformReadAttributes(const char* path, uint32_t* attributes) {
  const DWORD bits = GetFileAttributesA(path);
  if (bits == INVALID_FILE_ATTRIBUTES) return false;
  *attributes = bits;
  return true;
}

bool platformWriteAttributes(const char* path, uint32_t attributes) {
  return SetFileAttributesA(path, attributes) != 0;
}

bool platformDeleteFile(WindowHandle owner, char* path) {
  // Bit 31 of the version value is set on the Windows 95 family.
  if ((GetVersion() & 0x80000000u) != 0) return DeleteFileA(path) != 0;
  // The shell takes a list of names, ended by an empty one: a second NUL.
  path[lstrlenA(path) + 1] = '\0';
  SHFILEOPSTRUCTA operation = {};
  operation.hwnd = static_cast<HWND>(owner);
  operation.wFunc = FO_DELETE;
  operation.pFrom = path;
  operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
  return SHFileOperationA(&operation) == 0;
}

bool platformSetWriteTime(const char* path, uint32_t dosDateTime) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME created, accessed, written, local;
  bool done = false;
  if (GetFileTime(file, &created, &accessed, &written) &&
      DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16),
                            static_cast<WORD>(dosDateTime & 0xFFFF), &local) &&
      LocalFileTimeToFileTime(&local, &written)) {
    done = SetFileTime(file, &created, &accessed, &written) != 0;
  }
  CloseHandle(file);
  return done;
}
