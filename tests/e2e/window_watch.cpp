// Looking at and poking another process's windows for the test driver. Texts
// of top-level windows and static controls are read from the window manager
// directly, so a busy program can be watched; only the edit control, whose
// text lives inside the control, is asked with a message and a time-out.
#include "window_watch.h"

#include <string.h>

namespace e2e {

namespace {

// How long the driver waits for the program's thread to answer one message.
// Longer than any pause of an idle dialog, far shorter than an installation.
constexpr UINT AnswerTimeoutMs = 250;

bool hasClass(HWND window, const char* className) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return strcmp(name, className) == 0;
}

DWORD processOf(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

struct DialogSearch {
  DWORD processId;
  const char* caption;
  HWND found;
};

BOOL CALLBACK matchDialog(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<DialogSearch*>(parameter);
  if (processOf(window) == search->processId && hasClass(window, "#32770") &&
      windowText(window) == search->caption) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct BoxSearch {
  DWORD processId;
  HWND dialog;
  HWND found;
};

BOOL CALLBACK matchBox(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<BoxSearch*>(parameter);
  if (window != search->dialog && processOf(window) == search->processId &&
      hasClass(window, "#32770") && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The box's message is its one static control that does not show an icon.
BOOL CALLBACK collectBoxText(HWND child, LPARAM parameter) {
  auto* text = reinterpret_cast<std::string*>(parameter);
  LONG style = GetWindowLongA(child, GWL_STYLE);
  if (hasClass(child, "Static") && (style & SS_TYPEMASK) != SS_ICON) {
    *text += windowText(child);
  }
  return TRUE;
}

// DDE management keeps hidden top-level windows for as long as an instance is
// open: "WineDde..." under Wine, "DDEML..." on Windows.
BOOL CALLBACK matchDdeWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<BoxSearch*>(parameter);
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  if (processOf(window) == search->processId &&
      (strncmp(name, "WineDde", 7) == 0 || strncmp(name, "DDEML", 5) == 0)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

bool usesDde(DWORD processId) {
  BoxSearch search = {processId, nullptr, nullptr};
  EnumWindows(matchDdeWindow, reinterpret_cast<LPARAM>(&search));
  return search.found != nullptr;
}

}  // namespace

HWND findDialog(DWORD processId, const char* caption) {
  DialogSearch search = {processId, caption, nullptr};
  EnumWindows(matchDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

MessageBoxSeen findMessageBox(DWORD processId, HWND dialog) {
  BoxSearch search = {processId, dialog, nullptr};
  EnumWindows(matchBox, reinterpret_cast<LPARAM>(&search));
  MessageBoxSeen box;
  if (search.found) {
    box.window = search.found;
    box.caption = windowText(search.found);
    EnumChildWindows(search.found, collectBoxText, reinterpret_cast<LPARAM>(&box.text));
  }
  return box;
}

std::string windowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string editText(HWND edit) {
  char text[1024] = {};
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                           SMTO_ABORTIFHUNG, AnswerTimeoutMs, &copied)) {
    return {};
  }
  return text;
}

void pressButton(HWND button) {
  PostMessageA(button, BM_CLICK, 0, 0);
}

void typeInto(HWND edit, const std::string& text) {
  DWORD_PTR ignored = 0;
  // Select everything and delete it with Backspace, then type.
  SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, AnswerTimeoutMs, &ignored);
  SendMessageTimeoutA(edit, WM_CHAR, VK_BACK, 1, SMTO_ABORTIFHUNG, AnswerTimeoutMs, &ignored);
  for (unsigned char character : text) {
    SendMessageTimeoutA(edit, WM_CHAR, character, 1, SMTO_ABORTIFHUNG, AnswerTimeoutMs, &ignored);
  }
}

bool dialogIsWaiting(HWND dialog) {
  if (!IsWindow(dialog) || !IsWindowEnabled(dialog) || usesDde(processOf(dialog))) return false;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, AnswerTimeoutMs, &ignored) !=
         0;
}

}  // namespace e2e
