// Writes the archive fixture images into a directory (first argument), for the
// stage scripts that compare tvsfx's output across builds and for the demo.
#include <cstdio>
#include <string>

#include "archive/archive_fixtures.h"

namespace {

bool writeFile(const std::string& path, const tvpack::Bytes& bytes) {
  FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: write_archive_fixtures DIR\n", stderr);
    return 64;
  }
  const std::string dir = argv[1];
  const tvpack::Bytes mixed = fixtures::mixedArchive();
  const struct {
    const char* name;
    tvpack::Bytes bytes;
  } images[] = {
      {"carried-start.rar", fixtures::carriedArchiveStart()},
      {"volume.rar", fixtures::carriedArchiveStart(fixtures::CarriedArchiveFlags | 0x0001)},
      {"mixed.rar", mixed},
      {"mixed-sfx.exe",
       fixtures::concat(fixtures::leadingData(fixtures::CarriedMarkerOffset), mixed)},
      {"old-sfx.exe", fixtures::oldVariantArchive()},
      {"no-archive.bin", fixtures::leadingData(4000)},
  };
  for (const auto& image : images) {
    const std::string path = dir + "/" + image.name;
    if (!writeFile(path, image.bytes)) {
      std::fprintf(stderr, "write_archive_fixtures: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
