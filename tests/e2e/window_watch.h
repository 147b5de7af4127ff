// What the test driver sees of another process's windows: the install dialog
// found by its caption, the message boxes it owns, the texts of controls, and
// whether the dialog is waiting for input. Everything here only looks or
// posts input; it never changes the program under test in any other way.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// A message box (a "#32770" window of the process other than the dialog).
struct MessageBoxSeen {
  HWND window = nullptr;
  std::string caption;
  std::string text;
};

// The top-level window of class "#32770" with exactly this caption that
// belongs to the process, or null.
HWND findDialog(DWORD processId, const char* caption);

// A visible message box of the process other than `dialog`, or one with a
// null window when none is open.
MessageBoxSeen findMessageBox(DWORD processId, HWND dialog);

// The window's text as the window manager keeps it (no message is sent, so it
// can be read while the program is busy): captions and static controls.
std::string windowText(HWND window);

// The text of an edit control, asked for with WM_GETTEXT; empty when the
// owner does not answer within the time-out.
std::string editText(HWND edit);

// Presses a push button the way a mouse click does (BM_CLICK, posted so that
// the driver does not wait for whatever the click starts).
void pressButton(HWND button);

// Replaces the edit control's text by typing `text` into it character by
// character, as the keyboard would deliver it.
void typeInto(HWND edit, const std::string& text);

// True when the dialog exists, is enabled (no modal box over it), its process
// is not talking to the Program Manager (whose transactions also answer
// messages) and its thread answers a message at once: it waits for the user.
bool dialogIsWaiting(HWND dialog);

}  // namespace e2e
