// libFuzzer target for the decoder: the input is one entry's packed data,
// decoded twice in a row (fresh, then solid) into no output, with the stored
// size taken from the input's first four bytes. The sanitizers report any
// access outside the window, the buffers or the tables; libFuzzer's timeout
// reports a run that does not end. Built by fuzz/run-fuzz.sh with clang.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "archive/archive_context.h"
#include "archive/checksum.h"
#include "unpack/entry_setup.h"
#include "unpack/lz_decoder.h"

namespace {

// One and a half windows: enough to wrap the window and flush it twice; larger
// sizes only decode stale bytes for longer.
constexpr uint32_t LargestEntry = 3u << 19;

struct Run {
  std::unique_ptr<ArchiveContext> context{new ArchiveContext};
  std::vector<uint8_t> window = std::vector<uint8_t>(WindowSize);
  Run() {
    std::memset(context.get(), 0, sizeof(ArchiveContext));
    for (int i = 0; i < AudioTableCount; ++i)
      context->audioTables[i] = &context->audioTableStore[i];
    buildCrcTable(context.get());
    context->archiveVariant = VariantNew;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  static Run run;  // one record and window for every input, as one long extraction
  uint32_t stored = 0;
  std::memcpy(&stored, data, 4);
  stored %= LargestEntry;
  std::vector<uint8_t> packed(data + 4, data + size);
  ArchiveContext* context = run.context.get();
  for (int solid = 0; solid < 2; ++solid) {
    FILE* input = fmemopen(packed.empty() ? nullptr : packed.data(), packed.size(), "rb");
    if (input == nullptr) return 0;
    context->archiveStream = input;
    context->entryHeader.compressedSize = static_cast<uint32_t>(packed.size());
    context->entryHeader.uncompressedSize = stored;
    beginEntry(context, nullptr, 0);
    unpackEntry(context, run.window.data(), solid);
    std::fclose(input);
    context->archiveStream = nullptr;
  }
  return 0;
}
