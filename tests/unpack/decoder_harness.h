// Runs the decoder the way the extraction driver does, on packed bytes held in
// memory: a zero-filled context with its audio tables pointed at their store
// and its CRC table built, one window for all entries, the per-entry fields set
// by beginEntry, and a temporary file as output whose bytes are read back.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "archive/archive_context.h"

namespace fixtures {

using Bytes = std::vector<uint8_t>;

// A temporary file holding bytes, positioned at its start; closed on release.
struct FileCloser {
  void operator()(FILE* file) const;
};
using TempFile = std::unique_ptr<FILE, FileCloser>;
TempFile tempFileWith(const Bytes& bytes);
Bytes contentsOf(FILE* file);

class Decoder {
 public:
  Decoder();
  ArchiveContext* context() { return context_.get(); }
  uint8_t* window() { return window_.data(); }

  // Decodes one entry of `size` bytes from `packed` and returns what was
  // written. packedSize defaults to packed.size(); a larger value stands for
  // an archive cut short.
  Bytes decode(const Bytes& packed, uint32_t size, bool solid = false, int64_t packedSize = -1);
  // The same into a given output stream (null: nothing written).
  void decodeTo(FILE* output, const Bytes& packed, uint32_t size, bool solid = false,
                int64_t packedSize = -1);

  // Points the context's input at packed bytes (packedLeft = packedSize, by
  // default their count) and starts the bit reader with a solid reset and a
  // first fill, as unpackEntry starts an entry.
  void startInput(const Bytes& packed, int64_t packedSize = -1);

 private:
  std::unique_ptr<ArchiveContext> context_;
  std::vector<uint8_t> window_;
  TempFile input_;
};

}  // namespace fixtures
