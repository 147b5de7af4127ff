// tvsfx: packs a directory into the setup program's payload and reads any file
// that carries such an archive.
#include <cstdio>
#include <cstring>

#include "commands.h"

namespace {

constexpr const char* Usage =
    "usage: tvsfx <command> [options]\n"
    "  pack [--stub EXE] [--no-solid] [--level 1..5] [--files LIST] -o OUT DIR\n"
    "  list [--json] FILE\n"
    "  test FILE\n"
    "  extract FILE DIR\n";

struct Command {
  const char* name;
  int (*run)(int, char**);
};

constexpr Command Commands[] = {
    {"pack", runPackCommand},
    {"list", runListCommand},
    {"test", runTestCommand},
    {"extract", runExtractCommand},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2) {
    for (const Command& command : Commands) {
      if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 1, argv + 1);
    }
  }
  std::fputs(Usage, stderr);
  return ExitUsage;
}
