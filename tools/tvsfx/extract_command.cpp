// tvsfx extract FILE DIR: installs the archive carried by FILE into DIR
// exactly as the setup program does, as a console run: entry names go to
// standard output, messages to standard error, and the exit status is the
// run's result code. Unlike the setup program it creates DIR when missing.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "commands.h"
#include "install/extraction.h"
#include "install/path_ops.h"

namespace {

// The installation's paths hold at most 259 characters, the final backslash
// the run appends included.
constexpr size_t LongestTarget = 258;

}  // namespace

int runExtractCommand(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: tvsfx extract FILE DIR\n", stderr);
    return ExitUsage;
  }
  // The installation's own separator; both systems take it through the platform layer.
  std::string target = argv[2];
  for (char& c : target) {
    if (c == '/') c = '\\';
  }
  if (target.size() > LongestTarget) {
    std::fprintf(stderr, "%s: path too long\n", argv[2]);
    return ExitUsage;
  }
  if (fileExists(target.c_str()) != 0) {
    // createPath reports 3 for a final backslash although it made the
    // directory, so the directory's existence decides.
    createPath(target.c_str());
    if (fileExists(target.c_str()) != 0) {
      std::fprintf(stderr, "%s: Cannot create path.\n", target.c_str());
      return ExtractRefused;
    }
  }
  // The run appends a backslash in place: room for it and the NUL.
  std::vector<char> targetBuffer(target.begin(), target.end());
  targetBuffer.resize(target.size() + 2, '\0');
  return extractArchive(nullptr, argv[1], targetBuffer.data());
}
