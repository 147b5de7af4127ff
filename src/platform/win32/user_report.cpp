// What the user sees: the install dialog's progress line (its control 102) and
// message boxes it owns. Without an owner window the run is a console one (the
// payload tool, the tests): the name and the message go to the standard
// streams, and no box can hold up a run that nobody watches.
#include <windows.h>

#include <cstdio>

#include "platform/platform.h"

namespace {

constexpr int ProgressLineId = 102;  // the static text under the directory field

}  // namespace

void platformShowProgress(WindowHandle owner, const char* name) {
  if (owner == nullptr) {
    // fputs rather than printf: formatted output would pull MinGW's own printf
    // into the setup stub and nearly double its size.
    fputs(name, stdout);
    fputc('\n', stdout);
    return;
  }
  SetDlgItemTextA(static_cast<HWND>(owner), ProgressLineId, name);
}

void platformShowError(WindowHandle owner, const char* text, const char* caption) {
  if (owner == nullptr) {
    fputs(caption, stderr);
    fputs(": ", stderr);
    fputs(text, stderr);
    fputc('\n', stderr);
    return;
  }
  MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK | MB_ICONERROR);
}
