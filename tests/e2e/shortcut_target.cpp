// shortcut_target: prints where a shell shortcut (.lnk) points, read through
// the shell's own link object, so the test sees the item as the desktop would
// start it; with --open it also starts the item's program as a double click
// does and reports the window the program opens, then closes it.
//
//   shortcut_target.exe LINK          prints "target [PATH]"
//   shortcut_target.exe --open LINK   also prints "opened [WINDOW TITLE]"
//
// Exit code 1 when the file cannot be read as a shortcut or the item does not
// open a window.
#include <objidl.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "host_path.h"

namespace {

// A program of the size of QVTX.EXE shows its window within a second or two
// under Wine; the limit only keeps a broken item from hanging the test.
constexpr DWORD OpenTimeoutMs = 30000;
constexpr DWORD PollMs = 50;

// The link's program, arguments and working directory, as the shell keeps them.
struct Shortcut {
  char target[MAX_PATH] = {};
  char arguments[MAX_PATH] = {};
  char directory[MAX_PATH] = {};
};

bool readShortcut(const std::string& path, Shortcut& shortcut) {
  wchar_t widePath[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH);
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  bool read = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IShellLinkA, reinterpret_cast<void**>(&link))) &&
              SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(widePath, STGM_READ)) &&
              SUCCEEDED(link->GetPath(shortcut.target, MAX_PATH, nullptr, SLGP_RAWPATH)) &&
              SUCCEEDED(link->GetArguments(shortcut.arguments, MAX_PATH)) &&
              SUCCEEDED(link->GetWorkingDirectory(shortcut.directory, MAX_PATH));
  if (file) file->Release();
  if (link) link->Release();
  return read;
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK matchVisibleWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == search->processId && IsWindowVisible(window) && !GetWindow(window, GW_OWNER)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Starts the item's program with its arguments in its working directory, as
// the shell does for a double click, waits for the program's window, prints
// its title and closes the program again.
bool openItem(Shortcut& shortcut) {
  std::string commandLine = std::string("\"") + shortcut.target + "\" " + shortcut.arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(shortcut.target, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      shortcut.directory[0] ? shortcut.directory : nullptr, &startup, &process)) {
    std::printf("error the item's program does not start\n");
    return false;
  }
  CloseHandle(process.hThread);
  WindowSearch search = {process.dwProcessId, nullptr};
  for (DWORD waited = 0; !search.found && waited < OpenTimeoutMs; waited += PollMs) {
    EnumWindows(matchVisibleWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(PollMs);
  }
  bool opened = search.found != nullptr;
  if (opened) {
    char title[256] = {};
    GetWindowTextA(search.found, title, sizeof title);
    std::printf("opened [%s]\n", title);
    PostMessageA(search.found, WM_CLOSE, 0, 0);
  } else {
    std::printf("error the item's program opened no window\n");
  }
  if (WaitForSingleObject(process.hProcess, OpenTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hProcess);
  return opened;
}

}  // namespace

int main(int argc, char** argv) {
  bool open = argc == 3 && std::string(argv[1]) == "--open";
  if (argc != 2 && !open) {
    std::fprintf(stderr, "usage: shortcut_target [--open] LINK\n");
    return 2;
  }
  std::string path = e2e::windowsPath(argv[argc - 1]);
  CoInitialize(nullptr);
  Shortcut shortcut;
  bool done = readShortcut(path, shortcut);
  if (done) {
    std::printf("target [%s]\n", shortcut.target);
    std::fflush(stdout);
    if (open) done = openItem(shortcut);
  } else {
    std::printf("error cannot read %s\n", path.c_str());
  }
  CoUninitialize();
  return done ? 0 : 1;
}
