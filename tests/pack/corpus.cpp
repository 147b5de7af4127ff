// Generated test inputs; see corpus.h.
#include "pack/corpus.h"

#include <random>

namespace corpus {

Bytes randomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

Bytes text(size_t size, uint32_t seed) {
  static const char* const words[] = {
      "the",    "archive",   "window", "setup", "install", "directory", "of",   "and",
      "file",   "Tarnivole", "packed", "entry", "solid",   "table",     "code", "match",
      "length", "distance",  "a",      "to",    "program", "is",        "with", "bytes"};
  std::mt19937 random(seed);
  Bytes bytes;
  while (bytes.size() < size) {
    int count = 3 + random() % 12;
    for (int i = 0; i < count; ++i) {
      std::string word = words[random() % std::size(words)];
      if (random() % 9 == 0) word = std::to_string(random() % 100000);
      bytes.insert(bytes.end(), word.begin(), word.end());
      bytes.push_back(i + 1 == count ? '\n' : ' ');
    }
  }
  bytes.resize(size);
  return bytes;
}

Bytes runs(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes;
  while (bytes.size() < size)
    bytes.insert(bytes.end(), 1 + random() % 4000, static_cast<uint8_t>(random() % 4));
  bytes.resize(size);
  return bytes;
}

Bytes copyAtDistance(uint32_t distance, uint32_t length, uint32_t seed) {
  Bytes bytes = randomBytes(distance, seed);
  for (uint32_t i = 0; i < length; ++i) bytes.push_back(bytes[bytes.size() - distance]);
  Bytes tail = randomBytes(64, seed + 1);
  bytes.insert(bytes.end(), tail.begin(), tail.end());
  return bytes;
}

Bytes records(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes;
  // Each record: four fixed fields with random bytes between them; fields of
  // consecutive records are far apart by different amounts.
  const std::string fields[4] = {"Name=Tarnivole;", "Version=2.21;", "Path=C:\\PROGRA~1\\",
                                 "Size="};
  while (bytes.size() < size) {
    for (const std::string& field : fields) {
      bytes.insert(bytes.end(), field.begin(), field.end());
      int noise = 1 + random() % 6;
      for (int i = 0; i < noise; ++i) bytes.push_back(static_cast<uint8_t>(random()));
    }
  }
  bytes.resize(size);
  return bytes;
}

}  // namespace corpus
