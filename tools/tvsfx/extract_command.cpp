// Placeholder until the extract command is built.
#include <cstdio>

#include "commands.h"

int runExtractCommand(int, char**) {
  std::fputs("tvsfx extract: not built yet\n", stderr);
  return ExitUsage;
}
