// make_icon: turns a 32 x 32 pixel map text into a 16-colour .ico file, so the
// program's icon lives in the repository as readable source.
//
// Input: lines "colour <char> <palette index 0..15>" and "transparent <char>"
// define the legend; the line "pixels" is followed by 32 rows of 32 legend
// characters, top row first. Blank lines and lines starting with '#' are
// ignored. Output: one icon image (4 bits per pixel, the standard 16-colour
// palette, 1-bit mask).
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int Size = 32;

// The standard 16-colour palette as red, green, blue.
constexpr std::array<std::array<uint8_t, 3>, 16> Palette = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};

constexpr int XorRowBytes = Size / 2;  // two 4-bit pixels per byte
constexpr int AndRowBytes = Size / 8;  // one mask bit per pixel, rows already 32-bit aligned
constexpr int InfoHeaderSize = 40;
constexpr int ImageSize = InfoHeaderSize + 16 * 4 + Size * XorRowBytes + Size * AndRowBytes;
constexpr int FileHeaderSize = 6 + 16;  // icon directory with one entry

struct PixelMap {
  std::array<int, 256> index{};  // palette index per legend character, -1 unknown
  int transparent = -1;
  std::vector<std::string> rows;
};

bool readPixelMap(std::istream& in, PixelMap& map, std::string& error) {
  map.index.fill(-1);
  std::string line;
  bool inPixels = false;
  while (std::getline(in, line)) {
    if (inPixels) {
      if (line.empty()) continue;
      if (static_cast<int>(line.size()) != Size) {
        error = "pixel row of " + std::to_string(line.size()) + " characters: " + line;
        return false;
      }
      for (unsigned char c : line) {
        if (map.index[c] < 0 && c != map.transparent) {
          error = std::string("character not in the legend: ") + static_cast<char>(c);
          return false;
        }
      }
      map.rows.push_back(line);
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string keyword, symbol;
    words >> keyword >> symbol;
    if (keyword == "pixels") {
      inPixels = true;
    } else if (keyword == "colour" && symbol.size() == 1) {
      int value = -1;
      words >> value;
      if (value < 0 || value > 15) {
        error = "palette index out of 0..15: " + line;
        return false;
      }
      map.index[static_cast<unsigned char>(symbol[0])] = value;
    } else if (keyword == "transparent" && symbol.size() == 1) {
      map.transparent = static_cast<unsigned char>(symbol[0]);
    } else {
      error = "unknown line: " + line;
      return false;
    }
  }
  if (map.rows.size() != Size) {
    error = "expected 32 pixel rows, found " + std::to_string(map.rows.size());
    return false;
  }
  return true;
}

void put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}

void put32(std::vector<uint8_t>& out, uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

std::vector<uint8_t> buildIcon(const PixelMap& map) {
  std::vector<uint8_t> out;
  // Icon directory: reserved, type 1 (icon), one image.
  put16(out, 0);
  put16(out, 1);
  put16(out, 1);
  // Directory entry: width, height, colour count, reserved, planes, bits per pixel, size, offset.
  out.insert(out.end(), {Size, Size, 16, 0});
  put16(out, 1);
  put16(out, 4);
  put32(out, ImageSize);
  put32(out, FileHeaderSize);
  // Bitmap header: the height counts the colour bitmap and the mask together.
  put32(out, InfoHeaderSize);
  put32(out, Size);
  put32(out, Size * 2);
  put16(out, 1);
  put16(out, 4);
  put32(out, 0);
  put32(out, Size * (XorRowBytes + AndRowBytes));
  for (int i = 0; i < 4; ++i) put32(out, 0);
  for (const auto& colour : Palette) out.insert(out.end(), {colour[2], colour[1], colour[0], 0});
  // Rows are stored bottom-up. Transparent pixels are colour 0 with mask bit 1.
  for (int row = Size - 1; row >= 0; --row) {
    for (int column = 0; column < Size; column += 2) {
      auto value = [&](int c) {
        int index = map.index[static_cast<unsigned char>(map.rows[row][c])];
        return index < 0 ? 0 : index;
      };
      out.push_back(static_cast<uint8_t>(value(column) << 4 | value(column + 1)));
    }
  }
  for (int row = Size - 1; row >= 0; --row) {
    for (int byte = 0; byte < AndRowBytes; ++byte) {
      uint8_t bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        if (static_cast<unsigned char>(map.rows[row][byte * 8 + bit]) == map.transparent)
          bits |= 0x80 >> bit;
      }
      out.push_back(bits);
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_icon PIXELMAP OUT.ico\n";
    return 64;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "make_icon: cannot read " << argv[1] << "\n";
    return 1;
  }
  PixelMap map;
  std::string error;
  if (!readPixelMap(in, map, error)) {
    std::cerr << "make_icon: " << argv[1] << ": " << error << "\n";
    return 1;
  }
  std::vector<uint8_t> icon = buildIcon(map);
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
  if (!out) {
    std::cerr << "make_icon: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
