// Placeholder until the test command is built.
#include <cstdio>

#include "commands.h"

int runTestCommand(int, char**) {
  std::fputs("tvsfx test: not built yet\n", stderr);
  return ExitUsage;
}
