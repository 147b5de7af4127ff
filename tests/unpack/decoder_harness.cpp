// Decoder harness of the unpack tests.
#include "unpack/decoder_harness.h"

#include <cstring>
#include <stdexcept>

#include "archive/checksum.h"
#include "unpack/bit_reader.h"
#include "unpack/entry_setup.h"
#include "unpack/lz_decoder.h"

namespace fixtures {

void FileCloser::operator()(FILE* file) const {
  std::fclose(file);
}

TempFile tempFileWith(const Bytes& bytes) {
  TempFile file(std::tmpfile());
  if (!file) throw std::runtime_error("no temporary file");
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    throw std::runtime_error("temporary file not written");
  }
  std::rewind(file.get());
  return file;
}

Bytes contentsOf(FILE* file) {
  Bytes bytes;
  std::fflush(file);
  std::rewind(file);
  uint8_t chunk[65536];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof(chunk), file)) > 0)
    bytes.insert(bytes.end(), chunk, chunk + got);
  return bytes;
}

Decoder::Decoder() : context_(new ArchiveContext), window_(WindowSize, 0) {
  std::memset(context_.get(), 0, sizeof(ArchiveContext));
  for (int i = 0; i < AudioTableCount; ++i)
    context_->audioTables[i] = &context_->audioTableStore[i];
  buildCrcTable(context_.get());
  context_->archiveVariant = VariantNew;
}

Bytes Decoder::decode(const Bytes& packed, uint32_t size, bool solid, int64_t packedSize) {
  TempFile output = tempFileWith({});
  decodeTo(output.get(), packed, size, solid, packedSize);
  return contentsOf(output.get());
}

void Decoder::decodeTo(FILE* output, const Bytes& packed, uint32_t size, bool solid,
                       int64_t packedSize) {
  input_ = tempFileWith(packed);
  ArchiveContext* c = context_.get();
  c->archiveStream = input_.get();
  c->entryHeader.compressedSize =
      static_cast<uint32_t>(packedSize < 0 ? packed.size() : packedSize);
  c->entryHeader.uncompressedSize = size;
  beginEntry(c, output, 0);
  unpackEntry(c, window(), solid ? EntrySolidFlag : 0);
  c->archiveStream = nullptr;
}

void Decoder::startInput(const Bytes& packed, int64_t packedSize) {
  input_ = tempFileWith(packed);
  ArchiveContext* c = context_.get();
  c->archiveStream = input_.get();
  c->inputStream = input_.get();
  c->packedLeft = static_cast<int32_t>(packedSize < 0 ? packed.size() : packedSize);
  c->windowBase = window();
  resetUnpacker(c, 1);
  refillInput(c, 1);
}

}  // namespace fixtures
