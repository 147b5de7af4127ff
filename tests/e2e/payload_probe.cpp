// payload_probe: reads the entry headers of the archive that SETUP.EXE
// carries, so the end-to-end checks know what the installation must produce,
// and writes a copy of SETUP.EXE with one damaged byte in a later entry.
// It reads the headers on its own (a few fixed offsets) rather than through
// the installer's block walk, so the installer is not its own judge.
//
//   payload_probe list FILE        one line per entry:
//                                  "ATTRIBUTES(hex) YYYY-MM-DD HH:MM:SS NAME"
//   payload_probe damage FILE OUT  OUT is FILE with the middle byte of a later
//                                  entry's packed data inverted; prints its NAME
//
// NAME has backslashes as separators, as the installer shows stored names.
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host_path.h"

namespace {

constexpr uint8_t Marker[7] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
constexpr uint8_t ArchiveHeaderType = 0x73;
constexpr uint8_t EntryHeaderType = 0x74;
constexpr uint16_t HasAddedSize = 0x8000;
constexpr uint16_t DictionaryBits = 0x00E0;  // all three set: a directory entry
constexpr uint32_t DirectoryAttribute = 0x10;
constexpr uint32_t ArchiveAttribute = 0x20;
constexpr size_t EntryFixedSize = 32;
constexpr uint8_t FirstNonDosHost = 3;  // hosts 0 to 2 store DOS/Windows attributes

struct Entry {
  std::string name;
  uint32_t attributes;
  uint32_t dosDateTime;
  size_t dataStart;
  size_t packedSize;
};

uint32_t readLe(const std::vector<uint8_t>& bytes, size_t at, int width) {
  uint32_t value = 0;
  for (int i = width - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return value;
}

// Walks the blocks that start at `position`; true when they end exactly at
// the end of the file, which tells the real archive from a stray marker.
bool walkBlocks(const std::vector<uint8_t>& bytes, size_t position, std::vector<Entry>& entries) {
  entries.clear();
  if (position + 7 > bytes.size() || bytes[position + 2] != ArchiveHeaderType) return false;
  while (position < bytes.size()) {
    if (position + 7 > bytes.size()) return false;
    uint8_t type = bytes[position + 2];
    uint16_t flags = readLe(bytes, position + 3, 2);
    size_t headerLength = readLe(bytes, position + 5, 2);
    if (headerLength < 7 || position + headerLength > bytes.size()) return false;
    size_t added = 0;
    if (flags & HasAddedSize) {
      if (headerLength < 11) return false;
      added = readLe(bytes, position + 7, 4);
    }
    if (type == EntryHeaderType) {
      if (headerLength < EntryFixedSize) return false;
      size_t nameLength = readLe(bytes, position + 26, 2);
      if (EntryFixedSize + nameLength > headerLength) return false;
      Entry entry;
      entry.name.assign(bytes.begin() + position + EntryFixedSize,
                        bytes.begin() + position + EntryFixedSize + nameLength);
      for (char& character : entry.name) {
        if (character == '/') character = '\\';
      }
      entry.attributes = readLe(bytes, position + 28, 4);
      if (bytes[position + 15] >= FirstNonDosHost) {
        entry.attributes =
            (flags & DictionaryBits) == DictionaryBits ? DirectoryAttribute : ArchiveAttribute;
      }
      entry.dosDateTime = readLe(bytes, position + 20, 4);
      entry.dataStart = position + headerLength;
      entry.packedSize = added;
      entries.push_back(entry);
    }
    position += headerLength + added;
  }
  return position == bytes.size();
}

bool readEntries(const std::vector<uint8_t>& bytes, std::vector<Entry>& entries) {
  for (size_t at = 0; at + sizeof Marker <= bytes.size(); ++at) {
    if (std::equal(Marker, Marker + sizeof Marker, bytes.begin() + at) &&
        walkBlocks(bytes, at + sizeof Marker, entries)) {
      return true;
    }
  }
  return false;
}

std::string localTime(uint32_t dos) {
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", (dos >> 25) + 1980,
                (dos >> 21) & 15, (dos >> 16) & 31, (dos >> 11) & 31, (dos >> 5) & 63,
                (dos & 31) * 2);
  return text;
}

// The first entry with packed data in the second half of the archive, so that
// several entries are installed before it.
const Entry* laterEntry(const std::vector<Entry>& entries) {
  for (size_t i = entries.size() / 2; i < entries.size(); ++i) {
    const Entry& entry = entries[i];
    if (!(entry.attributes & DirectoryAttribute) && entry.packedSize >= 16) return &entry;
  }
  return nullptr;
}

int fail(const char* message, const char* path) {
  std::fprintf(stderr, "payload_probe: %s: %s\n", message, path);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (!((command == "list" && argc == 3) || (command == "damage" && argc == 4))) {
    std::fprintf(stderr, "usage: payload_probe list FILE | payload_probe damage FILE OUT\n");
    return 2;
  }
  std::string archivePath = e2e::windowsPath(argv[2]);
  std::ifstream in(archivePath, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  std::vector<Entry> entries;
  if (!in.good() && !in.eof()) return fail("cannot read", argv[2]);
  if (!readEntries(bytes, entries)) return fail("no archive found", argv[2]);

  if (command == "list") {
    _setmode(_fileno(stdout), _O_BINARY);  // plain "\n" line ends
    for (const Entry& entry : entries) {
      std::printf("%08X %s %s\n", entry.attributes, localTime(entry.dosDateTime).c_str(),
                  entry.name.c_str());
    }
    return 0;
  }
  const Entry* victim = laterEntry(entries);
  if (!victim) return fail("no later entry with packed data", argv[2]);
  bytes[victim->dataStart + victim->packedSize / 2] ^= 0xFF;
  std::ofstream out(e2e::windowsPath(argv[3]), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (!out) return fail("cannot write", argv[3]);
  std::printf("%s\n", victim->name.c_str());
  return 0;
}
