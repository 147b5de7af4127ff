// The stored name is checked component by component: a colon anywhere would
// name a drive or a stream, and a leading separator, an empty component or
// ".." would step out of the target directory or change its meaning.
#include "install/entry_name.h"

#include <cstring>

namespace {

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

bool entryNameIsSafe(const char* name) {
  if (strchr(name, ':') != nullptr) return false;
  const char* component = name;
  for (const char* p = name;; ++p) {
    if (*p != '\0' && !isSeparator(*p)) continue;
    const size_t length = static_cast<size_t>(p - component);
    if (length == 0) return false;  // empty name, leading separator, doubled or final one
    if (length == 2 && component[0] == '.' && component[1] == '.') return false;
    if (*p == '\0') return true;
    component = p + 1;
  }
}
