// The compiled resources read back from this program's own image: dialog
// template 100 field by field and icon 100's group and image, both in German
// (Germany), language 1031.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "shell/resource_ids.h"

namespace {

const WORD German = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

const uint8_t* loadGermanResource(LPCSTR type, int id, DWORD* size) {
  HRSRC found = FindResourceExA(nullptr, type, MAKEINTRESOURCEA(id), German);
  if (!found) return nullptr;
  *size = SizeofResource(nullptr, found);
  return static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, found)));
}

// Reads the little-endian fields of a resource in order.
struct Reader {
  const uint8_t* base;
  size_t pos = 0;
  uint16_t word() {
    uint16_t value;
    std::memcpy(&value, base + pos, 2);
    pos += 2;
    return value;
  }
  uint32_t dword() {
    uint32_t value;
    std::memcpy(&value, base + pos, 4);
    pos += 4;
    return value;
  }
  int16_t shortValue() { return static_cast<int16_t>(word()); }
  std::string text() {  // zero-terminated UTF-16, ASCII only here
    std::string result;
    for (uint16_t c = word(); c != 0; c = word()) result += static_cast<char>(c);
    return result;
  }
  // A class or menu field: an ordinal after 0xFFFF, else a text.
  std::string nameOrOrdinal() {
    if (reinterpret_cast<const uint16_t*>(base + pos)[0] == 0xFFFF) {
      pos += 2;
      return "#" + std::to_string(word());
    }
    return text();
  }
  void alignDword() { pos = (pos + 3) & ~size_t{3}; }
};

// The predefined control classes may be stored by ordinal.
std::string className(std::string stored) {
  if (stored == "#128") return "button";
  if (stored == "#129") return "edit";
  if (stored == "#130") return "static";
  for (char& c : stored) c = static_cast<char>(tolower(c));
  return stored;
}

struct ControlCase {
  const char* className;
  int id;
  const char* text;
  short x, y, cx, cy;
  uint32_t style;
};

const ControlCase Controls[] = {
    {"static", -1, "Install to:", 10, 35, 45, 10, 0x50000000},
    {"edit", ControlTargetDir, "", 60, 34, 204, 12, 0x50810080},
    {"static", ControlProgress, "", 10, 47, 253, 10, 0x50000000},
    {"button", IDOK, "OK", 7, 61, 124, 14, 0x50010000},
    {"button", IDCANCEL, "Exit", 138, 61, 124, 14, 0x50010000},
};

TEST(Resources, InstallDialogTemplateIsTheGermanDialogExWithFiveControlsInTabOrder) {
  DWORD size = 0;
  const uint8_t* data = loadGermanResource(RT_DIALOG, DialogInstall, &size);
  ASSERT_NE(data, nullptr) << "no dialog 100 in language 1031";
  Reader in{data};
  EXPECT_EQ(in.word(), 1);       // dlgVer
  EXPECT_EQ(in.word(), 0xFFFF);  // signature of an extended template
  EXPECT_EQ(in.dword(), 0u);     // help id
  EXPECT_EQ(in.dword(), static_cast<uint32_t>(WS_EX_TOPMOST));
  EXPECT_EQ(in.dword(), 0x90C000C4u);  // popup, visible, caption, modal frame, set font, 3D look
  ASSERT_EQ(in.word(), 5);
  EXPECT_EQ(in.shortValue(), 0);
  EXPECT_EQ(in.shortValue(), 0);
  EXPECT_EQ(in.shortValue(), 270);
  EXPECT_EQ(in.shortValue(), 82);
  EXPECT_EQ(in.nameOrOrdinal(), "");  // no menu
  EXPECT_EQ(in.nameOrOrdinal(), "");  // the standard dialog class
  EXPECT_EQ(in.text(), "  Setup QV Tarnivole");
  EXPECT_EQ(in.word(), 8);       // points
  EXPECT_EQ(in.word(), 0);       // weight
  EXPECT_EQ(data[in.pos++], 0);  // not italic
  EXPECT_EQ(data[in.pos++], 1);  // DEFAULT_CHARSET
  EXPECT_EQ(in.text(), "MS Sans Serif");
  for (const ControlCase& control : Controls) {
    SCOPED_TRACE(control.text[0] ? control.text : std::to_string(control.id).c_str());
    in.alignDword();
    EXPECT_EQ(in.dword(), 0u);  // help id
    EXPECT_EQ(in.dword(), 0u);  // extended style
    EXPECT_EQ(in.dword(), control.style);
    EXPECT_EQ(in.shortValue(), control.x);
    EXPECT_EQ(in.shortValue(), control.y);
    EXPECT_EQ(in.shortValue(), control.cx);
    EXPECT_EQ(in.shortValue(), control.cy);
    EXPECT_EQ(static_cast<int32_t>(in.dword()), control.id);
    EXPECT_EQ(className(in.nameOrOrdinal()), control.className);
    EXPECT_EQ(in.nameOrOrdinal(), control.text);
    EXPECT_EQ(in.word(), 0);  // no creation data
  }
  EXPECT_LE(in.pos, size);
}

TEST(Resources, IconIsOneGerman32x32SixteenColourImageWithMask) {
  DWORD size = 0;
  const uint8_t* group = loadGermanResource(RT_GROUP_ICON, IconSetup, &size);
  ASSERT_NE(group, nullptr) << "no icon group 100 in language 1031";
  Reader in{group};
  EXPECT_EQ(in.word(), 0);  // reserved
  EXPECT_EQ(in.word(), 1);  // icon, not cursor
  ASSERT_EQ(in.word(), 1);  // one image
  EXPECT_EQ(group[in.pos++], 32);
  EXPECT_EQ(group[in.pos++], 32);
  EXPECT_EQ(group[in.pos++], 16);  // colours
  in.pos++;
  EXPECT_EQ(in.word(), 1);  // planes
  EXPECT_EQ(in.word(), 4);  // bits per pixel
  // Header 40, palette 16 x 4, colour rows 32 x 16, mask rows 32 x 4.
  const uint32_t imageSize = 40 + 64 + 512 + 128;
  EXPECT_EQ(in.dword(), imageSize);
  uint16_t imageId = in.word();
  EXPECT_EQ(imageId, 1);

  const uint8_t* image = loadGermanResource(RT_ICON, imageId, &size);
  ASSERT_NE(image, nullptr) << "no icon image 1 in language 1031";
  EXPECT_EQ(size, imageSize);
  const BITMAPINFOHEADER* header = reinterpret_cast<const BITMAPINFOHEADER*>(image);
  EXPECT_EQ(header->biWidth, 32);
  EXPECT_EQ(header->biHeight, 64);  // colour bitmap and mask
  EXPECT_EQ(header->biBitCount, 4);
  // The picture is opaque somewhere and transparent somewhere: the mask has both bits.
  const uint8_t* mask = image + 40 + 64 + 512;
  int transparentBits = 0;
  for (int i = 0; i < 128; ++i) transparentBits += __builtin_popcount(mask[i]);
  EXPECT_GT(transparentBits, 0);
  EXPECT_LT(transparentBits, 32 * 32 / 2);
}

}  // namespace
