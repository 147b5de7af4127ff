// Placeholder until the pack command is built.
#include <cstdio>

#include "commands.h"

int runPackCommand(int, char**) {
  std::fputs("tvsfx pack: not built yet\n", stderr);
  return ExitUsage;
}
