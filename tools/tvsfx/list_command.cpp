// tvsfx list [--json] FILE: lists every entry of the archive that FILE carries,
// walking the blocks as the setup program does. Exit status 0 when listed, 2
// when the file cannot be opened or holds no archive, 64 for bad arguments.
#include <cstdio>
#include <cstring>
#include <string>

#include "commands.h"
#include "listing.h"
#include "opened_archive.h"

namespace {

constexpr int ExitNoArchive = 2;

}  // namespace

int runListCommand(int argc, char** argv) {
  bool json = false;
  const char* path = nullptr;
  bool argumentsValid = true;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--json") == 0 && !json) {
      json = true;
    } else if (argv[i][0] != '-' && path == nullptr) {
      path = argv[i];
    } else {
      argumentsValid = false;
    }
  }
  if (!argumentsValid || path == nullptr) {
    std::fputs("usage: tvsfx list [--json] FILE\n", stderr);
    return ExitUsage;
  }

  OpenedArchive archive;
  std::string error;
  if (!archive.open(path, error)) {
    std::fprintf(stderr, "tvsfx list: %s\n", error.c_str());
    return ExitNoArchive;
  }
  const Listing listing = readListing(archive);
  const std::string text = json ? formatListingJson(listing) : formatListingText(listing);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return 0;
}
