// Packs a directory tree into an archive file, optionally after a stub
// executable: collects the entries (every file under the directory in
// byte-wise order of the stored names, empty directories as directory
// entries; or an explicit list), checks that the format can hold them, and
// streams the files through the encoder into a temporary file beside the
// output, which replaces the output only when everything succeeded. Input is
// read in pieces and packed data leaves the encoder in pieces (each file's
// header is written again with its sizes and checksum after its last piece),
// so memory stays bounded whatever the size of the files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pack/archive_builder.h"

namespace tvpack {

struct PackProgress {
  size_t filesDone, filesTotal;
  uint64_t bytesDone, bytesTotal;
};

struct PackRequest {
  std::string directory;
  std::string output;
  std::optional<std::string> stub;      // executable to put in front of the archive
  std::optional<std::string> fileList;  // one relative path a line, in archive order
  bool solid = true;
  int level = DefaultLevel;
  std::function<void(const PackProgress&)> progress;  // called now and then; may be empty
};

struct PackResult {
  bool ok = false;
  std::string error;  // one line when not ok
  uint64_t inputBytes = 0;
  uint64_t outputBytes = 0;  // the whole output file, stub included
  size_t entries = 0;
};

PackResult packTree(const PackRequest& request);

// Stored form of a relative path: components joined by backslashes. Empty when
// the path cannot be stored (why in *reason): a component with a backslash,
// a control or non-ASCII byte, or a character Windows does not allow in names.
std::string storedName(const std::string& relativePath, std::string* reason);

// MS-DOS date and time of a moment, in local time; times before 1980 become
// 1 January 1980 and after 2107 the last representable second.
uint32_t dosDateTimeFromUnix(int64_t seconds);

}  // namespace tvpack
