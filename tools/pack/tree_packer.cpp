// Packing a directory tree into an archive file; see tree_packer.h.
#include "pack/tree_packer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "archive/archive_context.h"
#include "archive/archive_format.h"
#include "archive/archive_search.h"
#include "archive/checksum.h"
#include "archive/stream_ops.h"
#include "pack/archive_builder.h"
#include "pack/block_writer.h"
#include "pack/chain_encoder.h"

namespace fs = std::filesystem;

namespace tvpack {
namespace {

// Positions in an archive file are signed 32-bit values, and so is the
// decoder's count of bytes still to produce.
constexpr uint64_t MaxFileBytes = 0x7FFFFFFF;
constexpr size_t ReadPiece = 1u << 20;
// A marker at offsets 1..6 is never found: the search starts at offset 7.
constexpr uint64_t FirstSearchedOffset = MarkerSize;

struct Source {
  std::string name;  // stored name
  fs::path path;
  bool directory = false;
  uint64_t size = 0;
  uint32_t dosDateTime = 0;
  uint32_t attributes = 0;
};

struct Failure {
  std::string message;
};

uint32_t attributesOf(const fs::path& path, bool directory) {
  fs::perms perms = fs::status(path).permissions();
  uint32_t attributes = directory ? AttributeDirectory : AttributeArchive;
  if ((perms & fs::perms::owner_write) == fs::perms::none) attributes |= AttributeReadOnly;
  return attributes;
}

uint32_t modificationTimeOf(const fs::path& path) {
  auto written = fs::last_write_time(path);
  auto system = std::chrono::file_clock::to_sys(written);
  return dosDateTimeFromUnix(
      std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count());
}

std::string checkedName(const std::string& relative) {
  std::string reason;
  std::string name = storedName(relative, &reason);
  if (name.empty()) throw Failure{"cannot store the name \"" + relative + "\": " + reason};
  if (name.size() > MaxNameLength) throw Failure{"name longer than 259 bytes: " + relative};
  return name;
}

Source sourceFor(const fs::path& root, const std::string& relative, bool directory) {
  Source source;
  source.name = checkedName(relative);
  source.path = root / fs::path(relative);
  source.directory = directory;
  std::error_code error;
  if (!directory) {
    source.size = fs::file_size(source.path, error);
    if (error) throw Failure{"cannot read " + source.path.string() + ": " + error.message()};
    if (source.size > MaxFileBytes) {
      throw Failure{"file of 2 GB or more, beyond the format: " + source.path.string()};
    }
  }
  source.dosDateTime = modificationTimeOf(source.path);
  source.attributes = attributesOf(source.path, directory);
  return source;
}

// Every file under root, and every empty directory, by stored name.
std::vector<Source> walkTree(const fs::path& root, const std::set<fs::path>& excluded) {
  std::vector<Source> sources;
  std::error_code error;
  fs::recursive_directory_iterator it(root, error), end;
  if (error) throw Failure{"cannot read directory " + root.string() + ": " + error.message()};
  for (; it != end; it.increment(error)) {
    if (error) throw Failure{"cannot read directory: " + error.message()};
    const fs::path& path = it->path();
    if (it->is_symlink() && it->is_directory()) {
      throw Failure{"symbolic link to a directory (not followed): " + path.string()};
    }
    std::string relative = path.lexically_relative(root).generic_string();
    if (it->is_directory()) {
      if (fs::is_empty(path)) sources.push_back(sourceFor(root, relative, true));
    } else if (it->is_regular_file()) {
      if (excluded.count(fs::weakly_canonical(path)) == 0) {
        sources.push_back(sourceFor(root, relative, false));
      }
    } else {
      throw Failure{"not a regular file: " + path.string()};
    }
  }
  std::sort(sources.begin(), sources.end(),
            [](const Source& a, const Source& b) { return a.name < b.name; });
  return sources;
}

// The entries a list names, in its order.
std::vector<Source> readList(const fs::path& root, const std::string& listPath) {
  std::ifstream list(listPath, std::ios::binary);
  if (!list) throw Failure{"cannot read the file list " + listPath};
  std::vector<Source> sources;
  std::set<std::string> seen;
  std::string line;
  while (std::getline(list, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    std::replace(line.begin(), line.end(), '\\', '/');
    checkedName(line);  // refused before the file is looked at
    fs::path path = root / fs::path(line);
    std::error_code error;
    fs::file_status status = fs::status(path, error);
    if (error || !fs::exists(status)) throw Failure{"cannot read " + path.string()};
    if (!fs::is_directory(status) && !fs::is_regular_file(status)) {
      throw Failure{"not a regular file: " + path.string()};
    }
    Source source = sourceFor(root, line, fs::is_directory(status));
    if (!seen.insert(source.name).second) throw Failure{"listed twice: " + line};
    sources.push_back(std::move(source));
  }
  return sources;
}

// Checked writes to the temporary output.
class Output {
 public:
  explicit Output(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
    if (!file_) throw Failure{"cannot create " + path};
  }
  ~Output() {
    if (file_) std::fclose(file_);
  }
  void write(const uint8_t* bytes, size_t count) {
    written_ += count;
    if (written_ > MaxFileBytes) throw Failure{"archive of 2 GB or more, beyond the format"};
    if (count != 0 && std::fwrite(bytes, 1, count, file_) != count) {
      throw Failure{"cannot write the output"};
    }
  }
  void write(const Bytes& bytes) { write(bytes.data(), bytes.size()); }
  // Rewrites bytes written earlier at offset (below 2^31), then goes on at the end.
  void patch(uint64_t offset, const Bytes& bytes) {
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() ||
        std::fseek(file_, 0, SEEK_END) != 0) {
      throw Failure{"cannot write the output"};
    }
  }
  void close() {
    bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!ok) throw Failure{"cannot write the output"};
  }
  uint64_t written() const { return written_; }

 private:
  FILE* file_;
  uint64_t written_ = 0;
};

Bytes readWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure{"cannot read " + path};
  Bytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw Failure{"cannot read " + path};
  return bytes;
}

// Where the setup program's search finds the archive in the written file.
int32_t foundMarkerOffset(const std::string& path) {
  auto* context = static_cast<ArchiveContext*>(allocZeroed(sizeof(ArchiveContext)));
  if (context == nullptr) throw Failure{"out of memory"};
  buildCrcTable(context);
  int32_t offset = -1;
  context->archiveStream = openShared(path.c_str(), "rb", ShareDenyWrite);
  if (context->archiveStream != nullptr && openArchive(context) != KindNotFound) {
    offset = markerOffset(context);
  }
  closeStream(context->archiveStream);
  freeAndClear(context);
  return offset;
}

class CrcTable {
 public:
  CrcTable() : context_(static_cast<ArchiveContext*>(allocZeroed(sizeof(ArchiveContext)))) {
    if (context_ == nullptr) throw Failure{"out of memory"};
    buildCrcTable(context_);
  }
  ~CrcTable() { freeAndClear(context_); }
  uint32_t update(uint32_t value, const uint8_t* bytes, size_t count) const {
    return crc32Update(context_, value, bytes, static_cast<uint32_t>(count));
  }

 private:
  ArchiveContext* context_;
};

void packInto(const PackRequest& request, const std::vector<Source>& sources, const Bytes& stub,
              Output& out, PackResult& result) {
  out.write(stub);
  Bytes head;
  appendMarker(head);
  ArchiveHeaderFields archiveHeader;
  archiveHeader.blockFlags = request.solid ? ArchiveSolidFlag : 0;
  appendArchiveHeader(head, archiveHeader);
  out.write(head);

  PackProgress progress{0, sources.size(), 0, 0};
  for (const Source& source : sources) progress.bytesTotal += source.size;
  if (request.progress) request.progress(progress);

  // Entries are written in order; a file's header waits for its packed data.
  struct Done {
    uint32_t size, crc;
  };
  std::vector<Done> read(sources.size());
  size_t nextToWrite = 0;
  size_t filesWritten = 0;
  auto entryFields = [&](size_t i) {
    const Source& source = sources[i];
    EntryHeaderFields fields;
    fields.name = source.name;
    fields.dosDateTime = source.dosDateTime;
    fields.attributes = source.attributes;
    fields.hostSystem = HostWindows;
    fields.versionNeeded = 20;
    return fields;
  };
  auto writeDirectoriesBefore = [&](size_t limit) {
    for (; nextToWrite < limit && sources[nextToWrite].directory; ++nextToWrite) {
      EntryHeaderFields fields = entryFields(nextToWrite);
      fields.blockFlags = entryFlags(true, request.solid && filesWritten > 0);
      fields.packingMethod = 0x30;
      Bytes header;
      appendEntryHeader(header, fields);
      out.write(header);
    }
  };
  // A file's header goes out with its first packed bytes, sizes and checksum
  // still open, and is written again with them after its last bytes.
  uint64_t headerOffset = 0, packedBytes = 0;
  bool entryOpen = false;
  auto fileHeader = [&](size_t i) {
    EntryHeaderFields fields = entryFields(i);
    fields.blockFlags = entryFlags(false, request.solid && filesWritten > 0);
    fields.packingMethod = packingMethodFor(request.level);
    fields.compressedSize = static_cast<uint32_t>(packedBytes);
    fields.uncompressedSize = read[i].size;
    fields.dataChecksum = read[i].crc;
    Bytes header;
    appendEntryHeader(header, fields);
    return header;
  };
  auto sink = [&](Bytes&& piece, bool last) {
    if (!entryOpen) {
      writeDirectoriesBefore(sources.size());
      headerOffset = out.written();
      packedBytes = 0;
      out.write(fileHeader(nextToWrite));
      entryOpen = true;
    }
    packedBytes += piece.size();
    out.write(piece);
    if (!last) return;
    out.patch(headerOffset, fileHeader(nextToWrite));
    entryOpen = false;
    ++nextToWrite;
    ++filesWritten;
  };

  CrcTable crc;
  std::vector<uint8_t> piece(ReadPiece);
  std::unique_ptr<ChainEncoder> chain;
  for (size_t i = 0; i < sources.size(); ++i) {
    const Source& source = sources[i];
    if (source.directory) continue;
    if (!chain) {
      chain = std::make_unique<ChainEncoder>(request.level, sink);
    } else {
      chain->beginEntry();
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(source.path.string().c_str(), "rb"),
                                               std::fclose);
    if (!file) throw Failure{"cannot read " + source.path.string()};
    uint64_t size = 0;
    uint32_t value = 0xFFFFFFFF;
    size_t got;
    while ((got = std::fread(piece.data(), 1, piece.size(), file.get())) > 0) {
      size += got;
      if (size > MaxFileBytes) throw Failure{"file grew to 2 GB or more: " + source.path.string()};
      value = crc.update(value, piece.data(), got);
      chain->addData(piece.data(), got);
      progress.bytesDone += got;
      if (request.progress) request.progress(progress);
    }
    if (std::ferror(file.get())) throw Failure{"cannot read " + source.path.string()};
    read[i] = {static_cast<uint32_t>(size), ~value};
    result.inputBytes += size;
    chain->endEntry();
    if (!request.solid) {
      chain->finish();
      chain.reset();
    }
    ++progress.filesDone;
    if (request.progress) request.progress(progress);
  }
  if (chain) chain->finish();
  writeDirectoriesBefore(sources.size());
  progress.filesDone = sources.size();
  if (request.progress) request.progress(progress);
}

}  // namespace

std::string storedName(const std::string& relativePath, std::string* reason) {
  std::string name;
  size_t start = 0;
  while (start <= relativePath.size()) {
    size_t slash = relativePath.find('/', start);
    if (slash == std::string::npos) slash = relativePath.size();
    std::string component = relativePath.substr(start, slash - start);
    if (component.empty() || component == "." || component == "..") {
      *reason = "empty, \".\" or \"..\" component";
      return {};
    }
    for (unsigned char c : component) {
      if (c < 0x20 || c >= 0x7F) {
        *reason =
            "control or non-ASCII byte (names are stored in the 8-bit code page as they stand)";
        return {};
      }
      if (std::strchr("\\:*?\"<>|", c) != nullptr) {
        *reason =
            std::string("character '") + static_cast<char>(c) + "' not allowed in Windows names";
        return {};
      }
    }
    if (!name.empty()) name += '\\';
    name += component;
    start = slash + 1;
  }
  return name;
}

uint32_t dosDateTimeFromUnix(int64_t seconds) {
  std::time_t time = static_cast<std::time_t>(seconds);
  const std::tm* local = std::localtime(&time);
  if (local == nullptr) return dosDateTimeOf(1980, 1, 1, 0, 0, 0);
  int year = local->tm_year + 1900;
  if (year < 1980) return dosDateTimeOf(1980, 1, 1, 0, 0, 0);
  if (year > 2107) return dosDateTimeOf(2107, 12, 31, 23, 59, 58);
  return dosDateTimeOf(year, local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min,
                       std::min(local->tm_sec, 59));
}

PackResult packTree(const PackRequest& request) {
  PackResult result;
  std::string temporary = request.output + ".tmp";
  try {
    fs::path root(request.directory);
    if (!fs::is_directory(root)) throw Failure{"not a directory: " + request.directory};
    Bytes stub;
    if (request.stub) {
      stub = readWhole(*request.stub);
      if (stub.size() > static_cast<size_t>(LastMarkerOffset)) {
        throw Failure{"stub of " + std::to_string(stub.size()) +
                      " bytes: the archive must start within the first 131,053 bytes"};
      }
      if (!stub.empty() && stub.size() < FirstSearchedOffset) {
        throw Failure{"stub of fewer than 7 bytes: an archive there is never found"};
      }
    }
    std::set<fs::path> excluded = {fs::weakly_canonical(request.output),
                                   fs::weakly_canonical(temporary)};
    std::vector<Source> sources =
        request.fileList ? readList(root, *request.fileList) : walkTree(root, excluded);
    result.entries = sources.size();
    {
      Output out(temporary);
      packInto(request, sources, stub, out, result);
      out.close();
      result.outputBytes = out.written();
    }
    if (foundMarkerOffset(temporary) != static_cast<int32_t>(stub.size())) {
      throw Failure{"the stub holds bytes that look like an archive start before the archive"};
    }
    std::error_code error;
    fs::rename(temporary, request.output, error);
    if (error) throw Failure{"cannot write " + request.output + ": " + error.message()};
    result.ok = true;
  } catch (const Failure& failure) {
    result.error = failure.message;
  } catch (const fs::filesystem_error& failure) {
    result.error = failure.what();
  }
  if (!result.ok) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
  }
  return result;
}

}  // namespace tvpack
