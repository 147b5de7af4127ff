// Opening an archive for the commands; see opened_archive.h.
#include "opened_archive.h"

#include <cstdlib>

#include "archive/archive_search.h"
#include "archive/checksum.h"
#include "archive/entry_walk.h"
#include "archive/stream_ops.h"

OpenedArchive::OpenedArchive()
    : context_(static_cast<ArchiveContext*>(allocZeroed(sizeof(ArchiveContext)))) {
  if (context_ == nullptr) std::abort();
  buildCrcTable(context_);
}

OpenedArchive::~OpenedArchive() {
  closeStream(context_->archiveStream);
  freeAndClear(context_);
}

bool OpenedArchive::open(const char* path, std::string& error) {
  context_->archiveStream = openShared(path, "rb", ShareDenyWrite);
  if (context_->archiveStream == nullptr) {
    error = std::string("cannot open ") + path;
    return false;
  }
  kind_ = openArchive(context_);
  if (kind_ == KindNotFound) {
    error = std::string("no archive in ") + path;
    return false;
  }
  markerOffset_ = ::markerOffset(context_);
  skipArchiveHeaderRest(context_);
  return true;
}
