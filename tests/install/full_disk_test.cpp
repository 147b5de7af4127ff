// A file system that cannot take a file's bytes, played by a child process
// with a small file-size limit (and SIGXFSZ ignored, so a write that passes
// the limit comes back short instead of ending the process): the short write
// shows as a checksum mismatch, the partial file is removed, earlier files stay.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "install/extraction.h"
#include "install/packed_fixture.h"
#include "install/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using tvtest::sampleData;
using tvtest::ScratchDir;

constexpr rlim_t FileSizeLimit = 64 * 1024;

TEST(FullDisk, ShortWriteEndsInAChecksumMismatchAndRemovesThePartialFile) {
  std::vector<tvpack::ArchiveEntry> entries(3);
  entries[0].name = "SMALL.TXT";
  entries[0].data = sampleData(10000, 21);
  entries[1].name = "LARGE.BIN";
  entries[1].data = sampleData(200000, 22);  // passes the limit
  entries[2].name = "NEVER.TXT";
  entries[2].data = sampleData(1000, 23);
  const tvpack::Bytes image = tvpack::buildArchive(entries);

  ScratchDir scratch;
  const fs::path archive = scratch.path() / "ARCHIVE.EXE";
  std::ofstream(archive, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  fs::create_directories(scratch.path() / "T");
  const fs::path messages = scratch.path() / "messages.txt";

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    freopen(messages.c_str(), "w", stderr);
    freopen("/dev/null", "w", stdout);
    signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit = {FileSizeLimit, FileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &limit);
    char target[261] = {};
    strcpy(target, scratch.internal("T").c_str());
    const int result = extractArchive(nullptr, tvtest::internalPath(archive).c_str(), target);
    fflush(stderr);
    _exit(result);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(tvtest::readFile(messages), "LARGE.BIN: Cannot install file.\n");
  EXPECT_EQ(tvtest::readFile(scratch.path() / "T" / "SMALL.TXT"), tvtest::textOf(entries[0].data));
  EXPECT_FALSE(fs::exists(scratch.path() / "T" / "LARGE.BIN"));
  EXPECT_FALSE(fs::exists(scratch.path() / "T" / "NEVER.TXT"));
}

}  // namespace
