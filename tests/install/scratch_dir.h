// A fresh directory for one test, removed afterwards, and the conversion of
// its paths to the installation's backslash form (which both platforms accept
// through the platform layer).
#pragma once

#include <filesystem>
#include <string>

namespace tvtest {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // path()/relative in backslash form, without a final backslash.
  std::string internal(const std::string& relative = "") const;

 private:
  std::filesystem::path path_;
};

// A path with every slash turned into a backslash.
std::string internalPath(const std::filesystem::path& path);

// Writes bytes to a file, creating its directories.
void writeFile(const std::filesystem::path& path, const std::string& bytes);
std::string readFile(const std::filesystem::path& path);

// True when the file's owner may write it.
bool isWritable(const std::filesystem::path& path);
void setReadOnly(const std::filesystem::path& path);

}  // namespace tvtest
