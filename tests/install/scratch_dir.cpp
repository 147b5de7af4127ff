// Scratch directories under the system's temporary directory, one per test.
#include "install/scratch_dir.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <random>

namespace tvtest {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  static std::atomic<unsigned> serial{0};
  std::random_device random;
  path_ = fs::temp_directory_path() /
          ("tv-install-" + std::to_string(random()) + "-" + std::to_string(serial++));
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  // Read-only files and directories would stop the removal on Windows.
  for (const auto& item : fs::recursive_directory_iterator(path_, ignored)) {
    fs::permissions(item.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
  }
  fs::remove_all(path_, ignored);
}

std::string ScratchDir::internal(const std::string& relative) const {
  std::string text = internalPath(path_);
  if (!relative.empty()) text += "\\" + relative;
  return text;
}

std::string internalPath(const fs::path& path) {
  std::string text = path.string();
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  return text;
}

void writeFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool isWritable(const fs::path& path) {
  return (fs::status(path).permissions() & fs::perms::owner_write) != fs::perms::none;
}

void setReadOnly(const fs::path& path) {
  fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
}

}  // namespace tvtest
