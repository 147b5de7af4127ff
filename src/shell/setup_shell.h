// The setup program's windows: the full-screen backdrop and the install
// dialog it opens. One thread runs them both; the only global state is the
// module instance handle that WinMain keeps.
#pragma once

#include <windows.h>

// The program's module instance, kept by WinMain for the whole run: window
// class, dialog and icon resources, and the program's own file name.
extern HINSTANCE appInstance;

// Window procedure of the class "Setup": opens the install dialog once the
// window exists and ends the message loop when the dialog ends.
LRESULT CALLBACK backdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Paints the backdrop over the whole client rectangle: a gradient from black
// at the top to blue 255, and the product title in white at one eighth of the
// width and height.
void paintBackdrop(HDC dc, const RECT* client);

// Dialog procedure of the install dialog (template DialogInstall): proposes the
// target directory, installs on OK, ends on Exit. Returns FALSE for every message.
INT_PTR CALLBACK installDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
