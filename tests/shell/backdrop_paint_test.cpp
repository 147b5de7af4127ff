// The backdrop painted into a memory bitmap of a given screen size: the
// gradient's blue per row, and the title's text, font and position compared
// with a reference text painted by the test itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <vector>

#include "shell/setup_shell.h"

namespace {

// A top-down 32-bit bitmap selected into a memory DC.
struct Canvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;

  Canvas(int w, int h) : width(w), height(h) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels = static_cast<uint32_t*>(bits);
    previous = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, previous);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  uint32_t at(int x, int y) const { return pixels[y * width + x]; }
  // The gradient has no red at all, so any red marks a pixel of the title.
  bool isText(int x, int y) const { return (at(x, y) >> 16 & 0xFF) != 0; }
};

struct ScreenCase {
  int width;
  int height;
  int bandHeight;
  int lastBlue;  // blue of the bottom row
};

// Bands are height / 256 pixels high (at least 1), each one step bluer, capped at 255.
const ScreenCase Screens[] = {
    {320, 200, 1, 199},    // below 256 rows the gradient stops short of 255
    {640, 480, 1, 255},    // rows 255 to 479 all blue 255
    {800, 600, 2, 255},    // 300 bands of 2 rows, from index 255 on all 255
    {1024, 768, 3, 255},   // exactly 256 bands, the last one blue 255
    {1280, 1030, 4, 255},  // the last band reaches below the bitmap and is cut
};

TEST(BackdropPaint, EachRowIsOneBandStepBluerFromBlackUpToBlue255) {
  for (const ScreenCase& screen : Screens) {
    SCOPED_TRACE(testing::Message() << screen.width << " x " << screen.height);
    Canvas canvas(screen.width, screen.height);
    ASSERT_NE(canvas.pixels, nullptr);
    RECT client = {0, 0, screen.width, screen.height};
    paintBackdrop(canvas.dc, &client);
    // The right edge is clear of the title, which starts at one eighth of the width.
    int x = screen.width - 1;
    EXPECT_EQ(canvas.at(x, 0), 0x000000u);
    for (int y = 0; y < screen.height; ++y) {
      uint32_t blue = static_cast<uint32_t>(y / screen.bandHeight);
      if (blue > 255) blue = 255;
      ASSERT_EQ(canvas.at(x, y), blue) << "row " << y;
      ASSERT_EQ(canvas.at(0, y), blue) << "row " << y;
    }
    EXPECT_EQ(canvas.at(x, screen.height - 1), static_cast<uint32_t>(screen.lastBlue));
  }
}

// The title as it must read: 24-point MS Sans Serif, two blanks before "V.".
void paintReferenceTitle(const Canvas& canvas) {
  LOGFONTA font = {};
  font.lfHeight = -MulDiv(24, GetDeviceCaps(canvas.dc, LOGPIXELSY), 72);
  font.lfWeight = FW_NORMAL;
  font.lfOutPrecision = OUT_STRING_PRECIS;
  font.lfClipPrecision = CLIP_STROKE_PRECIS;
  font.lfQuality = DRAFT_QUALITY;
  font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  lstrcpyA(font.lfFaceName, "MS Sans Serif");
  HFONT handle = CreateFontIndirectA(&font);
  HGDIOBJ previous = SelectObject(canvas.dc, handle);
  SetBkMode(canvas.dc, TRANSPARENT);
  SetTextColor(canvas.dc, RGB(255, 255, 255));
  TextOutA(canvas.dc, canvas.width / 8, canvas.height / 8, "QV Tarnivole  V.2.21", 20);
  SelectObject(canvas.dc, previous);
  DeleteObject(handle);
}

TEST(BackdropPaint, TitleReadsQvTarnivoleV221AtOneEighthOfWidthAndHeight) {
  const POINT sizes[] = {{640, 480}, {1024, 768}, {801, 603}};
  for (POINT size : sizes) {
    SCOPED_TRACE(testing::Message() << size.x << " x " << size.y);
    Canvas backdrop(size.x, size.y);
    Canvas reference(size.x, size.y);
    RECT client = {0, 0, size.x, size.y};
    paintBackdrop(backdrop.dc, &client);
    paintReferenceTitle(reference);
    int textPixels = 0;
    int minX = size.x;
    int minY = size.y;
    for (int y = 0; y < size.y; ++y) {
      for (int x = 0; x < size.x; ++x) {
        ASSERT_EQ(backdrop.isText(x, y), reference.isText(x, y)) << "at " << x << ", " << y;
        if (!backdrop.isText(x, y)) continue;
        ++textPixels;
        if (x < minX) minX = x;
        if (y < minY) minY = y;
      }
    }
    // Enough ink for 17 glyphs, starting just right of and below the text origin.
    EXPECT_GT(textPixels, 400);
    EXPECT_GE(minX, size.x / 8);
    EXPECT_LE(minX, size.x / 8 + 4);
    EXPECT_GE(minY, size.y / 8);
    EXPECT_LE(minY, size.y / 8 + 12);
  }
}

}  // namespace
