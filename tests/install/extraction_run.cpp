// Test runs of the extraction over archive images built in memory.
#include "install/extraction_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "install/extraction.h"

namespace tvtest {

namespace fs = std::filesystem;

ExtractionRun extractImage(const ScratchDir& scratch, const tvpack::Bytes& image) {
  const fs::path archive = scratch.path() / "ARCHIVE.EXE";
  std::ofstream(archive, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));
  fs::create_directories(scratch.path() / "T");

  char target[261] = {};
  strcpy(target, scratch.internal("T").c_str());
  ExtractionRun run;
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  run.result = extractArchive(nullptr, internalPath(archive).c_str(), target);
  fflush(stdout);
  run.progress = ::testing::internal::GetCapturedStdout();
  run.messages = ::testing::internal::GetCapturedStderr();
  run.targetAfter = target;
  return run;
}

tvpack::Bytes archiveStart(uint16_t archiveFlags) {
  tvpack::Bytes image;
  tvpack::appendMarker(image);
  tvpack::ArchiveHeaderFields header;
  header.blockFlags = archiveFlags;
  tvpack::appendArchiveHeader(image, header);
  return image;
}

tvpack::EntryHeaderFields emptyEntry(const std::string& name, uint32_t attributes) {
  tvpack::EntryHeaderFields entry;
  entry.name = name;
  entry.attributes = attributes;
  entry.dataChecksum = tvpack::crc32Of(nullptr, 0);
  entry.dosDateTime = tvpack::dosDateTimeOf(2001, 7, 14, 12, 30, 44);
  return entry;
}

std::string treeOf(const fs::path& root) {
  std::vector<std::string> names;
  for (const auto& item : fs::recursive_directory_iterator(root)) {
    std::string name = fs::relative(item.path(), root).generic_string();
    if (item.is_directory()) name += "/";
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  std::string tree;
  for (const std::string& name : names) tree += name + "\n";
  return tree;
}

}  // namespace tvtest
