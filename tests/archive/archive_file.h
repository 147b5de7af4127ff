// A fixture image written to a temporary file and opened the way the
// extraction driver opens an archive, with a zero-filled context on the heap
// (the record is too large for a test's stack frame).
#pragma once

#include <cstdint>
#include <string>

#include "archive/archive_context.h"
#include "pack/block_writer.h"

class ArchiveFile {
 public:
  explicit ArchiveFile(const tvpack::Bytes& image);
  ~ArchiveFile();
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;

  const std::string& path() const { return path_; }
  ArchiveContext* context() { return context_; }
  int32_t position() const;
  void seek(int32_t offset);

 private:
  std::string path_;
  ArchiveContext* context_ = nullptr;
};
