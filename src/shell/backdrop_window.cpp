// The backdrop: a borderless window the size of the desktop that paints a
// black-to-blue gradient with the product title, opens the install dialog as
// soon as it exists and ends the message loop when the dialog ends.
#include <cstring>

#include "shell/product_texts.h"
#include "shell/resource_ids.h"
#include "shell/setup_shell.h"

HINSTANCE appInstance;

namespace {

// The title font. Only lfHeight changes: it is set at each paint from the
// paint DC's vertical resolution.
LOGFONTA titleLogFont = {
    .lfHeight = 0,
    .lfWidth = 0,
    .lfEscapement = 0,
    .lfOrientation = 0,
    .lfWeight = FW_NORMAL,
    .lfItalic = 0,
    .lfUnderline = 0,
    .lfStrikeOut = 0,
    .lfCharSet = ANSI_CHARSET,
    .lfOutPrecision = OUT_STRING_PRECIS,
    .lfClipPrecision = CLIP_STROKE_PRECIS,
    .lfQuality = DRAFT_QUALITY,
    .lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS,
    .lfFaceName = "MS Sans Serif",
};

// Title points: 24 points at 72 points per inch, negative for a character height.
constexpr int TitlePoints = -24;
constexpr int PointsPerInch = 72;

void paintGradient(HDC dc, const RECT* client) {
  // 256 steps of blue from 0 to 255; on screens lower than 256 pixels each band
  // is one pixel high and the gradient stops short of 255.
  int bandHeight = (client->bottom - client->top) >> 8;
  if (bandHeight == 0) bandHeight = 1;
  RECT band = *client;
  band.bottom = client->top;
  for (int index = 0; band.bottom < client->bottom; ++index) {
    band.top = band.bottom;
    band.bottom = band.top + bandHeight;
    int blue = index < 255 ? index : 255;
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, blue));
    if (brush) {
      FillRect(dc, &band, brush);
      DeleteObject(brush);
    }
  }
}

void paintTitle(HDC dc, const RECT* client) {
  titleLogFont.lfHeight = MulDiv(TitlePoints, GetDeviceCaps(dc, LOGPIXELSY), PointsPerInch);
  HFONT font = CreateFontIndirectA(&titleLogFont);
  if (!font) return;
  HGDIOBJ previousFont = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  char title[ProductNameLength + sizeof VersionPrefix + sizeof VersionNumber];
  std::memcpy(title, SuccessMessage, ProductNameLength);
  title[ProductNameLength] = 0;
  std::strcat(title, VersionPrefix);
  std::strcat(title, VersionNumber);
  int width = client->right - client->left;
  int height = client->bottom - client->top;
  TextOutA(dc, width >> 3, height >> 3, title, static_cast<int>(std::strlen(title)));
  // A font still selected into a DC cannot be deleted; put the old one back first.
  SelectObject(dc, previousFont);
  DeleteObject(font);
}

void onPaint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  paintBackdrop(dc, &client);
  EndPaint(window, &paint);
}

void onOpenDialog(HWND window) {
  DialogBoxParamA(appInstance, MAKEINTRESOURCEA(DialogInstall), window, installDialogProc, 0);
  PostQuitMessage(0);
}

}  // namespace

void paintBackdrop(HDC dc, const RECT* client) {
  paintGradient(dc, client);
  paintTitle(dc, client);
}

LRESULT CALLBACK backdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      PostMessageA(window, WM_COMMAND, CommandOpenDialog, 0);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == CommandOpenDialog) onOpenDialog(window);
      return 0;
    case WM_PAINT:
      onPaint(window);
      return 0;
    case WM_DESTROY:
    case WM_CLOSE:
      // WM_CLOSE does not destroy the window: the quit message alone ends the loop.
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}
