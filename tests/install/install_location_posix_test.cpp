// The proposed install directory and its record through the POSIX backend:
// the record is a file under $XDG_CONFIG_HOME, and $TV_WINDOWS_DIR stands for
// the Windows directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "install/install_location.h"
#include "install/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using tvtest::ScratchDir;

// Points the record and the Windows directory into a scratch directory.
class InstallLocation : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_CONFIG_HOME", scratch.path().string().c_str(), 1);
    setenv("TV_WINDOWS_DIR", (scratch.path() / "OS" / "WINDOWS").string().c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("TV_WINDOWS_DIR");
  }
  std::string proposal() {
    char buffer[260];
    std::fill(std::begin(buffer), std::end(buffer), 'x');  // what it held does not matter
    defaultInstallDir(buffer);
    return buffer;
  }
  fs::path recordFile() const { return scratch.path() / "Software" / "Tarnivole" / "Dir"; }
  void storeRecord(const std::string& bytes) { tvtest::writeFile(recordFile(), bytes); }

  ScratchDir scratch;
};

TEST_F(InstallLocation, WithoutRecordProposesProgramFilesBesideTheWindowsDirectory) {
  EXPECT_EQ(proposal(), scratch.internal("OS\\Program Files\\Tarnivole"));
}

TEST_F(InstallLocation, AnyExistingProgrammeBesideTheWindowsDirectoryIsChosen) {
  // Only the name's existence is asked: a file counts as much as a directory.
  for (bool asFile : {false, true}) {
    const fs::path programme = scratch.path() / "OS" / "Programme";
    if (asFile) {
      tvtest::writeFile(programme, "");
    } else {
      fs::create_directories(programme);
    }
    EXPECT_EQ(proposal(), scratch.internal("OS\\Programme\\Tarnivole")) << "as file: " << asFile;
    fs::remove(programme);
  }
}

TEST_F(InstallLocation, UnknownWindowsDirectoryGivesARelativeProposal) {
  unsetenv("TV_WINDOWS_DIR");
  EXPECT_EQ(proposal(), "Program Files\\Tarnivole");
}

TEST_F(InstallLocation, ParentTooDeepForTheProposalGivesARelativeOne) {
  // 240 characters of parent leave no room for "\Program Files\Tarnivole".
  const std::string deep = "/" + std::string(239, 'd') + "/WINDOWS";
  setenv("TV_WINDOWS_DIR", deep.c_str(), 1);
  EXPECT_EQ(proposal(), "Program Files\\Tarnivole");
}

TEST_F(InstallLocation, RecordedDirectoryIsProposedExactly) {
  for (const char* recorded : {"D:\\APPS\\TOOLS\\", "D:\\APPS\\TOOLS", "E:\\X"}) {
    recordInstallDir(recorded);
    EXPECT_EQ(proposal(), recorded);
  }
  // Stored as the registry stores a string: its bytes and the terminating NUL.
  EXPECT_EQ(tvtest::readFile(recordFile()), std::string("E:\\X", 5));
}

TEST_F(InstallLocation, UnusableRecordsFallBackToTheComputedProposal) {
  const std::string computed = scratch.internal("OS\\Program Files\\Tarnivole");
  const struct {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty value", std::string(1, '\0')},
      {"no bytes", ""},
      {"longer than 260 bytes", std::string(300, 'L') + '\0'},
      {"260 bytes without NUL", std::string(260, 'L')},
  };
  for (const auto& c : cases) {
    storeRecord(c.bytes);
    EXPECT_EQ(proposal(), computed) << c.what;
  }
}

TEST_F(InstallLocation, RecordWithoutNulIsEndedAfterItsBytes) {
  storeRecord("F:\\GAMES");
  EXPECT_EQ(proposal(), "F:\\GAMES");
}

}  // namespace
