// The test programs run under Wine but are handed host paths by the scripts:
// a path that starts with "/" names the same file on Wine's drive Z:.
#pragma once

#include <string>

namespace e2e {

inline std::string windowsPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  for (char& character : path) {
    if (character == '/') character = '\\';
  }
  return "Z:" + path;
}

}  // namespace e2e
