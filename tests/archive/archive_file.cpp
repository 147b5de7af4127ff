// Temporary archive files for the tests; see archive_file.h.
#include "archive/archive_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "archive/checksum.h"
#include "archive/stream_ops.h"

namespace {

std::string uniqueTempPath() {
  static int counter = 0;
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = "tv-archive-";
  if (test != nullptr) name += std::string(test->test_suite_name()) + "-" + test->name() + "-";
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  name += std::to_string(++counter);
  return (std::filesystem::temp_directory_path() / name).string();
}

}  // namespace

ArchiveFile::ArchiveFile(const tvpack::Bytes& image) : path_(uniqueTempPath()) {
  FILE* out = std::fopen(path_.c_str(), "wb");
  EXPECT_NE(out, nullptr) << path_;
  if (out != nullptr) {
    if (!image.empty()) {
      EXPECT_EQ(std::fwrite(image.data(), 1, image.size(), out), image.size());
    }
    std::fclose(out);
  }
  context_ = static_cast<ArchiveContext*>(allocZeroed(sizeof(ArchiveContext)));
  buildCrcTable(context_);
  context_->archiveStream = openShared(path_.c_str(), "rb", ShareDenyWrite);
  EXPECT_NE(context_->archiveStream, nullptr) << path_;
}

ArchiveFile::~ArchiveFile() {
  closeStream(context_->archiveStream);
  freeAndClear(context_);
  std::remove(path_.c_str());
}

int32_t ArchiveFile::position() const {
  return streamPosition(context_->archiveStream);
}

void ArchiveFile::seek(int32_t offset) {
  seekStream(context_->archiveStream, offset, SeekFromStart);
}
