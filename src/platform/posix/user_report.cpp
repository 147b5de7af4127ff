// What the user sees on a terminal: the progress line becomes the entry's name
// on standard output, one line per entry, or, when standard output is a
// terminal, one line rewritten in place with a running count, so a large
// install does not scroll; messages go to standard error as "CAPTION: TEXT".
#include <unistd.h>

#include <cstdlib>

#include "platform/platform.h"

namespace {

// Entries shown so far on the rewritten line; 0 when no line is open.
unsigned long shownOnTerminal = 0;
bool endRegistered = false;

void endTerminalLine() {
  if (shownOnTerminal == 0) return;
  fputc('\n', stdout);
  fflush(stdout);
  shownOnTerminal = 0;
}

}  // namespace

void platformShowProgress(WindowHandle /*owner*/, const char* name) {
  if (isatty(STDOUT_FILENO) == 0) {
    printf("%s\n", name);
    return;
  }
  if (!endRegistered) endRegistered = atexit(endTerminalLine) == 0;
  // Carriage return and erase-to-end-of-line rewrite the same line.
  printf("\r\033[K[%lu] %s", ++shownOnTerminal, name);
  fflush(stdout);
}

void platformShowError(WindowHandle /*owner*/, const char* text, const char* caption) {
  endTerminalLine();
  fprintf(stderr, "%s: %s\n", caption, text);
}
