// QVTX.EXE of the demo payload: a stand-in for the product's program. It opens
// one window that shows the product name and version, so an installation can
// be checked by starting what it installed.
#include <windows.h>

namespace {

constexpr const char ProductName[] = "QV Tarnivole";
constexpr const char VersionText[] = "Version 2.21";

void onPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  SetBkMode(dc, TRANSPARENT);
  // Name in the upper half, version in the lower half of the client area.
  RECT upper = client;
  upper.bottom = (client.top + client.bottom) / 2;
  RECT lower = client;
  lower.top = upper.bottom;
  DrawTextA(dc, ProductName, -1, &upper, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
  DrawTextA(dc, VersionText, -1, &lower, DT_CENTER | DT_TOP | DT_SINGLELINE);
  EndPaint(window, &paint);
}

LRESULT CALLBACK programWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      onPaint(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  WNDCLASSA windowClass = {};
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = programWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "QvTarnivole";
  if (!RegisterClassA(&windowClass)) return 1;

  HWND window = CreateWindowExA(0, "QvTarnivole", ProductName, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 360, 160, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, showCommand);
  UpdateWindow(window);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
