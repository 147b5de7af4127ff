// tvsfx pack [--stub EXE] [--no-solid] [--level 1..5] [--files LIST] -o OUT DIR:
// packs DIR into an archive (after the stub, when given) written atomically to
// OUT. Progress goes to a terminal only; the summary line always. Exit status
// 0 when packed, 1 when refused or failed (nothing left at OUT), 64 for bad
// arguments.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands.h"
#include "pack/archive_builder.h"
#include "pack/chain_encoder.h"
#include "pack/tree_packer.h"

namespace {

constexpr int ExitFailed = 1;
constexpr const char* PackUsage =
    "usage: tvsfx pack [--stub EXE] [--no-solid] [--level 1..5] [--files LIST] -o OUT DIR\n";

bool parseLevel(const char* text, int* level) {
  if (std::strlen(text) != 1 || text[0] < '0' + tvpack::MinLevel ||
      text[0] > '0' + tvpack::MaxLevel) {
    return false;
  }
  *level = text[0] - '0';
  return true;
}

// One status line, rewritten in place, at most a few times a second.
class ProgressLine {
 public:
  void show(const tvpack::PackProgress& progress) {
    auto now = std::chrono::steady_clock::now();
    bool last = progress.filesDone == progress.filesTotal;
    if (!last && now - shown_ < std::chrono::milliseconds(200)) return;
    shown_ = now;
    double seconds = std::chrono::duration<double>(now - start_).count();
    double rate = seconds > 0 ? progress.bytesDone / seconds / 1e6 : 0;
    std::fprintf(stderr, "\r%zu/%zu files, %.1f/%.1f MB, %.1f MB/s   ", progress.filesDone,
                 progress.filesTotal, progress.bytesDone / 1e6, progress.bytesTotal / 1e6, rate);
    if (last) std::fputc('\n', stderr);
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point shown_{};
};

}  // namespace

int runPackCommand(int argc, char** argv) {
  tvpack::PackRequest request;
  request.level = tvpack::DefaultLevel;
  const char* output = nullptr;
  const char* directory = nullptr;
  bool valid = true;
  for (int i = 1; i < argc && valid; ++i) {
    const char* arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (std::strcmp(arg, "--stub") == 0 && hasValue && !request.stub) {
      request.stub = argv[++i];
    } else if (std::strcmp(arg, "--files") == 0 && hasValue && !request.fileList) {
      request.fileList = argv[++i];
    } else if (std::strcmp(arg, "--level") == 0 && hasValue) {
      valid = parseLevel(argv[++i], &request.level);
    } else if (std::strcmp(arg, "--no-solid") == 0) {
      request.solid = false;
    } else if (std::strcmp(arg, "-o") == 0 && hasValue && output == nullptr) {
      output = argv[++i];
    } else if (arg[0] != '-' && directory == nullptr) {
      directory = arg;
    } else {
      valid = false;
    }
  }
  if (!valid || output == nullptr || directory == nullptr) {
    std::fputs(PackUsage, stderr);
    return ExitUsage;
  }
  request.output = output;
  request.directory = directory;
  ProgressLine line;
  if (isatty(fileno(stderr))) {
    request.progress = [&line](const tvpack::PackProgress& progress) { line.show(progress); };
  }

  tvpack::PackResult result = tvpack::packTree(request);
  if (!result.ok) {
    std::fprintf(stderr, "tvsfx pack: %s\n", result.error.c_str());
    return ExitFailed;
  }
  double ratio = result.inputBytes ? 100.0 * result.outputBytes / result.inputBytes : 100.0;
  std::printf("packed %zu entries: %llu bytes in, %llu bytes out (%.1f%%)\n", result.entries,
              static_cast<unsigned long long>(result.inputBytes),
              static_cast<unsigned long long>(result.outputBytes), ratio);
  return 0;
}
