// The path and file operations, through whichever platform backend is linked:
// the same cases run natively and under Wine.
#include "install/path_ops.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "install/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using tvtest::ScratchDir;

struct StringCase {
  const char* path;
  const char* expected;
};

TEST(PathText, TrailingBackslashIsAddedOnlyWhereMissing) {
  const StringCase cases[] = {
      {"", ""},
      {"C:\\", "C:\\"},
      {"C:\\A", "C:\\A\\"},
      {"C:/A/", "C:/A/\\"},  // only the backslash counts as a final separator
  };
  for (const StringCase& c : cases) {
    char buffer[16] = {};
    strcpy(buffer, c.path);
    addTrailingSlash(buffer);
    EXPECT_STREQ(buffer, c.expected) << "path: " << c.path;
  }
}

TEST(PathText, CutGoesBackToTheParentAndKeepsADriveRoot) {
  const StringCase cases[] =
      {
          {"C:\\WINDOWS", "C:\\"},   {"C:\\A\\B", "C:\\A"}, {"C:\\", "C:\\"},
          {"D:\\OS\\WIN", "D:\\OS"}, {"WINDOWS", ""},       {"\\TEMP", ""},
          {"ab\\cd", "ab\\"},  // the rule is by position: a third-character backslash stays
          {"a/b\\c", "a/b"},   // a slash is no separator here
      };
  for (const StringCase& c : cases) {
    char buffer[16] = {};
    strcpy(buffer, c.path);
    cutLastComponent(buffer);
    EXPECT_STREQ(buffer, c.expected) << "path: " << c.path;
  }
}

TEST(PathText, NameStartsAfterTheLastBackslashOrSlash) {
  const struct {
    const char* path;
    uint16_t offset;
  } cases[] = {
      {"C:\\A\\B.TXT", 5}, {"A/B", 2}, {"NAME", 0}, {"A\\B/C", 4}, {"DIR\\", 4}, {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(nameOffset(c.path), c.offset) << "path: " << c.path;
}

TEST(CreatePath, MakesMissingParentsFirst) {
  ScratchDir scratch;
  EXPECT_EQ(createPath(scratch.internal("N1\\N2\\N3").c_str()), 0);
  EXPECT_TRUE(fs::is_directory(scratch.path() / "N1" / "N2" / "N3"));
}

TEST(CreatePath, ReportsAnExistingDirectoryAsNotCreated) {
  ScratchDir scratch;
  EXPECT_EQ(createPath(scratch.internal().c_str()), 2);
}

TEST(CreatePath, FinalBackslashWithMissingParentGivesThreeAfterMakingBoth) {
  // The last attempt is made on the path with its backslash, which then exists.
  ScratchDir scratch;
  EXPECT_EQ(createPath(scratch.internal("N1\\N2\\").c_str()), 3);
  EXPECT_TRUE(fs::is_directory(scratch.path() / "N1" / "N2"));

  ScratchDir withParent;
  fs::create_directory(withParent.path() / "N1");
  EXPECT_EQ(createPath(withParent.internal("N1\\N2\\").c_str()), 0);
  EXPECT_TRUE(fs::is_directory(withParent.path() / "N1" / "N2"));
}

TEST(CreatePath, FailsBelowAFileAndOnAnEmptyPath) {
  ScratchDir scratch;
  tvtest::writeFile(scratch.path() / "F", "x");
  EXPECT_EQ(createPath(scratch.internal("F\\SUB").c_str()), 2);
  EXPECT_EQ(createPath(""), 2);
}

TEST(FileExists, FindsFilesAndDirectoriesButNotMissingNames) {
  ScratchDir scratch;
  tvtest::writeFile(scratch.path() / "F.TXT", "x");
  EXPECT_EQ(fileExists(scratch.internal("F.TXT").c_str()), 0);
  EXPECT_EQ(fileExists(scratch.internal().c_str()), 0);
  EXPECT_EQ(fileExists(scratch.internal("MISSING").c_str()), 2);
}

TEST(MakeWritable, ClearsReadOnlyAndFailsOnMissingNames) {
  ScratchDir scratch;
  const fs::path file = scratch.path() / "RO.TXT";
  tvtest::writeFile(file, "x");
  tvtest::setReadOnly(file);
  ASSERT_FALSE(tvtest::isWritable(file));
  EXPECT_EQ(makeWritable(scratch.internal("RO.TXT").c_str()), 0);
  EXPECT_TRUE(tvtest::isWritable(file));
  EXPECT_EQ(makeWritable(scratch.internal("MISSING").c_str()), 2);
}

TEST(RemoveFile, RemovesAReadOnlyFileAndLeavesThePathText) {
  ScratchDir scratch;
  const fs::path file = scratch.path() / "RO.TXT";
  tvtest::writeFile(file, "x");
  tvtest::setReadOnly(file);
  char path[260] = {};
  strcpy(path, scratch.internal("RO.TXT").c_str());
  EXPECT_EQ(removeFile(nullptr, path), 0);
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(std::string(path), scratch.internal("RO.TXT"));
}

TEST(RemoveFile, ReportsAFileThatIsNotThereWith32) {
  ScratchDir scratch;
  char path[260] = {};
  strcpy(path, scratch.internal("MISSING").c_str());
  EXPECT_EQ(removeFile(nullptr, path), 32);
}

}  // namespace
