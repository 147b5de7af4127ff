// The Win32 backend's own behaviour, read back with the Windows functions:
// results of CreateDirectoryA for a missing drive, the shell's name list
// written by removeFile, the stored time as local time with the creation time
// given back, attribute bits Windows holds, and the registry record with the
// proposals made from it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "install/extraction_run.h"
#include "install/install_location.h"
#include "install/path_ops.h"

namespace {

namespace fs = std::filesystem;
using tvpack::appendEntryHeader;
using tvtest::archiveStart;
using tvtest::emptyEntry;
using tvtest::extractImage;
using tvtest::ScratchDir;

constexpr const char* RecordKey = "Software\\Tarnivole";

TEST(Win32Paths, DirectoryOnAMissingDriveIsNotCreated) {
  // Wine's prefix maps C: and Z: only.
  EXPECT_EQ(createPath("Q:\\A"), 2);
  EXPECT_EQ(createPath("Q:\\A\\B"), 2);
}

TEST(Win32Paths, RemoveFileLeavesASecondNulAfterThePath) {
  ScratchDir scratch;
  tvtest::writeFile(scratch.path() / "GONE.TXT", "x");
  char path[MAX_PATH];
  memset(path, 'x', sizeof path);
  const std::string name = scratch.internal("GONE.TXT");
  strcpy(path, name.c_str());
  ASSERT_EQ(GetVersion() & 0x80000000u, 0u) << "this prefix reports the NT family";
  EXPECT_EQ(removeFile(nullptr, path), 0);
  EXPECT_EQ(path[name.size()], '\0');
  EXPECT_EQ(path[name.size() + 1], '\0');
  EXPECT_EQ(GetFileAttributesA(name.c_str()), INVALID_FILE_ATTRIBUTES);
}

uint32_t dosDateTimeOfFileTime(const FILETIME& utc) {
  FILETIME local;
  WORD date = 0, time = 0;
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToDosDateTime(&local, &date, &time);
  return static_cast<uint32_t>(date) << 16 | time;
}

TEST(Win32Installed, WriteTimeIsTheStoredLocalTimeAndCreationTimeStays) {
  ScratchDir scratch;
  const uint32_t stored = tvpack::dosDateTimeOf(2001, 7, 14, 12, 30, 44);
  auto entry = emptyEntry("TIMED.TXT");
  entry.dosDateTime = stored;
  tvpack::Bytes image = archiveStart();
  appendEntryHeader(image, entry);
  ASSERT_EQ(extractImage(scratch, image).result, 0);

  HANDLE file = CreateFileA(scratch.internal("T\\TIMED.TXT").c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  FILETIME created, accessed, written;
  ASSERT_TRUE(GetFileTime(file, &created, &accessed, &written));
  CloseHandle(file);
  EXPECT_EQ(dosDateTimeOfFileTime(written), stored);
  // Accessed by this run, years after the stored time; Wine keeps no
  // creation time of its own on Linux, so the access time is what shows
  // that the other times were given back unchanged.
  EXPECT_GT(CompareFileTime(&accessed, &written), 0);
}

TEST(Win32Installed, AttributesAreSetAsStored) {
  const struct {
    const char* name;
    uint32_t attributes;
  } cases[] = {
      {"ARCHIVE.TXT", FILE_ATTRIBUTE_ARCHIVE},
      {"READONLY.TXT", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE},
      {"HIDDEN.TXT", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
  };
  ScratchDir scratch;
  tvpack::Bytes image = archiveStart();
  for (const auto& c : cases) appendEntryHeader(image, emptyEntry(c.name, c.attributes));
  ASSERT_EQ(extractImage(scratch, image).result, 0);
  for (const auto& c : cases) {
    const DWORD read = GetFileAttributesA(scratch.internal(std::string("T\\") + c.name).c_str());
    // Wine reports every file with the archive bit: the others are compared.
    const uint32_t compared =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    EXPECT_EQ(read & compared, c.attributes & compared) << c.name;
  }
}

// Saves the record this prefix may hold and puts it back afterwards, so the
// other tests of the prefix see what they left.
class RegistryRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RecordKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      DWORD size = sizeof saved;
      hadValue = RegQueryValueExA(key, "Dir", nullptr, nullptr, reinterpret_cast<BYTE*>(saved),
                                  &size) == ERROR_SUCCESS;
      RegCloseKey(key);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, RecordKey);
  }
  void TearDown() override {
    RegDeleteKeyA(HKEY_CURRENT_USER, RecordKey);
    if (hadValue) recordInstallDir(saved);
    RemoveDirectoryA(programme().c_str());
  }
  std::string proposal() {
    char buffer[MAX_PATH];
    memset(buffer, 'x', sizeof buffer);
    defaultInstallDir(buffer);
    return buffer;
  }
  // The parent of the Windows directory, with its backslash.
  static std::string parentOfWindows() {
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    std::string parent = windows;
    parent.erase(parent.find_last_of('\\') + 1);
    return parent;
  }
  static std::string programme() { return parentOfWindows() + "Programme"; }

  bool hadValue = false;
  char saved[MAX_PATH] = {};
};

TEST_F(RegistryRecord, WithoutRecordTheProposalIsBesideTheWindowsDirectory) {
  EXPECT_EQ(proposal(), parentOfWindows() + "Program Files\\Tarnivole");
  ASSERT_TRUE(CreateDirectoryA(programme().c_str(), nullptr));
  EXPECT_EQ(proposal(), parentOfWindows() + "Programme\\Tarnivole");
}

TEST_F(RegistryRecord, RecordIsAStringValueWithThePathAsTheKeyClass) {
  recordInstallDir("E:\\X");
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, RecordKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  char value[MAX_PATH] = {};
  DWORD type = 0, size = sizeof value;
  EXPECT_EQ(RegQueryValueExA(key, "Dir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
            ERROR_SUCCESS);
  char keyClass[MAX_PATH] = {};
  DWORD classSize = sizeof keyClass;
  RegQueryInfoKeyA(key, keyClass, &classSize, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 5u);
  EXPECT_STREQ(value, "E:\\X");
  EXPECT_STREQ(keyClass, "E:\\X");
}

TEST_F(RegistryRecord, RecordedDirectoryIsProposedExactly) {
  for (const char* recorded : {"D:\\APPS\\TOOLS\\", "D:\\APPS\\TOOLS", "E:\\X"}) {
    recordInstallDir(recorded);
    EXPECT_EQ(proposal(), recorded);
  }
}

TEST_F(RegistryRecord, EmptyOrOversizedRecordGivesTheComputedProposal) {
  const std::string computed = parentOfWindows() + "Program Files\\Tarnivole";
  recordInstallDir("");
  EXPECT_EQ(proposal(), computed);
  recordInstallDir(std::string(300, 'L').c_str());
  EXPECT_EQ(proposal(), computed);
}

}  // namespace
