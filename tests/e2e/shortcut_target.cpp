// shortcut_target: prints where a shell shortcut (.lnk) points, read through
// the shell's own link object, so the test sees the item as the desktop would
// start it.
//
//   shortcut_target.exe LINK   prints "target [PATH]"; exit code 1 when the
//                              file cannot be read as a shortcut
#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "host_path.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: shortcut_target LINK\n");
    return 2;
  }
  std::string path = e2e::windowsPath(argv[1]);
  wchar_t widePath[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);

  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  char target[MAX_PATH] = {};
  bool read = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkA, reinterpret_cast<void**>(&link))) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(widePath, STGM_READ)) &&
              SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH));
  if (file) file->Release();
  if (link) link->Release();
  CoUninitialize();
  if (!read) {
    std::printf("error cannot read %s\n", path.c_str());
    return 1;
  }
  std::printf("target [%s]\n", target);
  return 0;
}
