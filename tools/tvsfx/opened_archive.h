// A file opened and recognised as an archive the way the extraction driver
// does it (shared read, archive search, rest of the archive header passed
// over), for the commands that read archives. Owns the context and the stream.
#pragma once

#include <cstdint>
#include <string>

#include "archive/archive_context.h"
#include "archive/archive_format.h"

class OpenedArchive {
 public:
  OpenedArchive();
  ~OpenedArchive();
  OpenedArchive(const OpenedArchive&) = delete;
  OpenedArchive& operator=(const OpenedArchive&) = delete;

  // Opens path and finds its archive; on success the stream stands on the
  // first block after the archive header. On failure error holds one line.
  bool open(const char* path, std::string& error);

  ArchiveContext* context() { return context_; }
  ArchiveKind kind() const { return kind_; }
  int32_t markerOffset() const { return markerOffset_; }

 private:
  ArchiveContext* context_;
  ArchiveKind kind_ = KindNotFound;
  int32_t markerOffset_ = 0;
};
