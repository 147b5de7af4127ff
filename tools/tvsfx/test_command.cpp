// tvsfx test FILE: decodes every entry of the archive that FILE carries, as the
// setup program would install it, into nothing, and prints a verdict per entry
// and a summary. Exit status: the installation's result code (0 all good, 1 a
// foreign unpack version, 2 no archive or a first entry continued from another
// volume, 3 a checksum mismatch, 9 no memory), 64 for bad arguments.
#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "archive_check.h"
#include "commands.h"

namespace {

void printEntry(const CheckedEntry& entry) {
  switch (entry.verdict) {
    case EntryVerdict::Good:
      std::printf("OK  %s\n", entry.name.c_str());
      break;
    case EntryVerdict::Bad:
      std::printf("BAD %s\n", entry.name.c_str());
      break;
    case EntryVerdict::Refused:
      std::printf("BAD %s (unpack version %u)\n", entry.name.c_str(), entry.versionNeeded);
      break;
    case EntryVerdict::Skipped:
      std::printf("--  %s (%s, skipped)\n", entry.name.c_str(),
                  entry.directory ? "directory" : "volume label");
      break;
  }
}

}  // namespace

int runTestCommand(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fputs("usage: tvsfx test FILE\n", stderr);
    return ExitUsage;
  }
  const auto start = std::chrono::steady_clock::now();
  const ArchiveCheck check = checkArchive(argv[1], printEntry);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!check.error.empty()) std::fprintf(stderr, "tvsfx test: %s\n", check.error.c_str());
  std::printf("%" PRIu32 " entries, %" PRIu64 " bytes, %.3f s\n", check.entryCount, check.bytes,
              seconds);
  std::fflush(stdout);
  return check.result;
}
