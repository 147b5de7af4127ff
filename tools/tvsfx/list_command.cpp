// Placeholder until the list command is built.
#include <cstdio>

#include "commands.h"

int runListCommand(int, char**) {
  std::fputs("tvsfx list: not built yet\n", stderr);
  return ExitUsage;
}
