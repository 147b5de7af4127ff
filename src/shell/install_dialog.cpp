// The install dialog: proposes the target directory and, on OK, runs the whole
// installation synchronously inside the command handler: create and record the
// directory, unpack the archive appended to this program, register the Program
// Manager group, announce success and close. Exit closes it at once.
#include <cstring>

#include "install/extraction.h"
#include "install/install_location.h"
#include "install/path_ops.h"
#include "shell/product_texts.h"
#include "shell/program_group.h"
#include "shell/resource_ids.h"
#include "shell/setup_shell.h"

namespace {

// Paths are read with a limit of MAX_PATH bytes, so at most 259 characters. The
// target buffer has one byte more: the extraction appends a backslash in place,
// and a 259-character text without one must still have room for it.
constexpr int TargetBufferSize = MAX_PATH + 1;

void centreOnDesktop(HWND dialog) {
  RECT desktop;
  RECT own;
  GetWindowRect(GetDesktopWindow(), &desktop);
  GetWindowRect(dialog, &own);
  int x = ((desktop.right - desktop.left) - (own.right - own.left)) >> 1;
  int y = ((desktop.bottom - desktop.top) - (own.bottom - own.top)) >> 1;
  SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void onInitDialog(HWND dialog) {
  centreOnDesktop(dialog);
  char proposed[MAX_PATH];
  defaultInstallDir(proposed);
  SetDlgItemTextA(dialog, ControlTargetDir, proposed);
  ShowWindow(dialog, SW_SHOW);
  SetFocus(GetDlgItem(dialog, ControlTargetDir));
}

void showSuccess(HWND dialog) {
  char caption[ProductNameLength + 1];
  std::memcpy(caption, SuccessMessage, ProductNameLength);
  caption[ProductNameLength] = 0;
  MessageBoxA(dialog, SuccessMessage, caption, MB_OK | MB_ICONINFORMATION);
}

void onConfirm(HWND dialog) {
  char target[TargetBufferSize] = "";
  GetDlgItemTextA(dialog, ControlTargetDir, target, MAX_PATH);
  if (target[0] == 0) return;

  HCURSOR keptCursor = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  // No system box for a drive without a medium: such a target just fails to exist.
  SetErrorMode(SEM_FAILCRITICALERRORS);
  if (fileExists(target) != 0 && createPath(target) != 0) {
    SetCursor(keptCursor);
    MessageBoxA(dialog, "Cannot create path.", target, MB_OK | MB_ICONERROR);
    return;
  }
  recordInstallDir(target);

  char archivePath[MAX_PATH];
  GetModuleFileNameA(appInstance, archivePath, MAX_PATH);
  if (extractArchive(dialog, archivePath, target) != 0) {
    // The extraction has reported single files itself; the dialog stays for another try.
    SetCursor(keptCursor);
    return;
  }
  addTrailingSlash(target);
  SetDlgItemTextA(dialog, ControlProgress, "");
  SetCursor(keptCursor);
  registerProgramGroup(target);
  showSuccess(dialog);
  EndDialog(dialog, 0);
}

}  // namespace

INT_PTR CALLBACK installDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      onInitDialog(dialog);
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) onConfirm(dialog);
      if (LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 0);
      break;
  }
  // FALSE from WM_INITDIALOG keeps the focus on the edit control set above.
  return FALSE;
}
