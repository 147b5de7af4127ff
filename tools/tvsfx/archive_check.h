// Checking every entry of an archive the way the extraction driver installs it:
// same walk, same per-entry setup, every entry with data decoded in archive
// order (solid entries need all earlier ones), output discarded, and each
// entry's checksum compared as the driver compares it. Nothing is written.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

enum class EntryVerdict {
  Good,     // checksum matches
  Bad,      // checksum does not match
  Refused,  // unpack version outside 13..20: decoded without a verdict, as the driver does
  Skipped,  // directory or volume label: carries no data
};

struct CheckedEntry {
  std::string name;
  EntryVerdict verdict;
  uint32_t size;  // the stored unpacked size
  uint8_t versionNeeded;
  bool directory;  // for Skipped: directory, else volume label
};

struct ArchiveCheck {
  int result = 0;     // the driver's result code: 0, 1, 2, 3 or 9
  std::string error;  // one line when the archive could not be checked at all
  uint32_t entryCount = 0;
  uint64_t bytes = 0;  // stored sizes of the entries decoded
};

// Checks the archive in path; onEntry sees each entry as soon as it is judged.
// Unlike the driver it goes on after a failure, so every entry gets a line; the
// result is the code of the first failure, which is what the driver returns.
ArchiveCheck checkArchive(const char* path,
                          const std::function<void(const CheckedEntry&)>& onEntry);
