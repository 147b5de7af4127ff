// The program's entry: keeps the instance, registers the window class "Setup",
// creates and shows the backdrop, and runs the message loop until the install
// dialog has ended. The exit code is always 0.
#include "shell/resource_ids.h"
#include "shell/setup_shell.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  appInstance = instance;

  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = backdropWindowProc;
  windowClass.hInstance = appInstance;
  windowClass.hIcon = LoadIconA(appInstance, MAKEINTRESOURCEA(IconSetup));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.lpszClassName = "Setup";
  // Without the class or the window nothing would ever post the quit message.
  if (!RegisterClassA(&windowClass)) return 0;

  RECT desktop;
  GetWindowRect(GetDesktopWindow(), &desktop);
  HWND backdrop =
      CreateWindowExA(0, "Setup", "Setup", WS_POPUP, 0, 0, desktop.right - desktop.left,
                      desktop.bottom - desktop.top, nullptr, nullptr, appInstance, nullptr);
  if (!backdrop) return 0;
  ShowWindow(backdrop, SW_SHOW);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
