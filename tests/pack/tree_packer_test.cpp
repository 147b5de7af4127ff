// Packing a directory tree: entry order and stored names, empty directories,
// attributes and times taken from the files, an explicit file list, a stub in
// front, and refusals that leave no output behind.
#include "pack/tree_packer.h"

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>

#include "pack/corpus.h"
#include "pack/unpacked_archive.h"

namespace fs = std::filesystem;

namespace tvpack {
namespace {

class TreePacker : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::temp_directory_path() / (std::string("tv-tree-") + test->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "in");
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(root_ / "in" / "b.txt", fs::perms::owner_all, ignored);
    fs::remove_all(root_, ignored);
  }
  fs::path in(const std::string& relative = "") const { return root_ / "in" / relative; }
  std::string out() const { return (root_ / "out.exe").string(); }
  void write(const fs::path& path, const corpus::Bytes& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  static corpus::Bytes read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return corpus::Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  }
  PackResult pack(PackRequest request) {
    request.directory = in().string();
    request.output = out();
    return packTree(request);
  }

  fs::path root_;
};

TEST_F(TreePacker, FilesInByteOrderOfStoredNamesWithEmptyDirectoriesAndAttributes) {
  write(in("b.txt"), corpus::text(2000, 1));
  write(in("C.TXT"), corpus::text(2000, 2));  // before "a": upper case sorts first
  // Packed into more than one piece: its header is written again at the end.
  write(in("a/z.bin"), corpus::randomBytes(1500000, 3));
  write(in("a-b/c.txt"), {});
  fs::create_directories(in("a/empty"));
  fs::permissions(in("b.txt"),
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  PackResult result = pack({});
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.entries, 5u);
  EXPECT_EQ(result.inputBytes, 1504000u);
  EXPECT_FALSE(fs::exists(out() + ".tmp"));

  UnpackedArchive archive = unpackArchive(read(out()));
  ASSERT_TRUE(archive.found);
  EXPECT_EQ(archive.archiveFlags, 0x0008);
  struct Expected {
    const char* name;
    uint16_t flags;
    uint32_t attributes;
  };
  // "C" (0x43) < "a" (0x61); "-" (0x2D) < "\" (0x5C) < "b" (0x62) after "a".
  const Expected expected[] = {{"C.TXT", 0x8040, 0x20},
                               {"a-b\\c.txt", 0x8050, 0x20},
                               {"a\\empty", 0x80F0, 0x10},
                               {"a\\z.bin", 0x8050, 0x20},
                               {"b.txt", 0x8050, 0x21}};
  ASSERT_EQ(archive.entries.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const UnpackedEntry& entry = archive.entries[i];
    EXPECT_EQ(entry.name, expected[i].name);
    EXPECT_EQ(entry.flags, expected[i].flags) << entry.name;
    EXPECT_EQ(entry.attributes, expected[i].attributes) << entry.name;
    EXPECT_EQ(entry.packingMethod, expected[i].attributes == 0x10 ? 0x30 : 0x32) << entry.name;
    if (expected[i].attributes != 0x10) {
      EXPECT_TRUE(entry.checksumMatches) << entry.name;
    }
  }
  EXPECT_TRUE(archive.entries[3].data == corpus::randomBytes(1500000, 3));
  EXPECT_GT(archive.entries[3].packedSize, 1500000u);
}

TEST_F(TreePacker, FileListGivesTheOrderAndStubComesFirst) {
  write(in("one.txt"), corpus::text(1000, 4));
  write(in("sub/two.txt"), corpus::text(1000, 5));
  write(in("three.txt"), corpus::text(1000, 6));
  write(root_ / "list.txt", {'t', 'h', 'r',  'e', 'e', '.', 't', 'x', 't', '\r', '\n', 's',
                             'u', 'b', '\\', 't', 'w', 'o', '.', 't', 'x', 't',  '\n'});
  corpus::Bytes stub = corpus::randomBytes(4096, 7);
  for (auto& b : stub) b &= 0x7F;
  write(root_ / "stub.exe", stub);
  PackRequest request;
  request.fileList = (root_ / "list.txt").string();
  request.stub = (root_ / "stub.exe").string();
  request.solid = false;
  request.level = 1;
  PackResult result = pack(request);
  ASSERT_TRUE(result.ok) << result.error;
  corpus::Bytes image = read(out());
  EXPECT_EQ(result.outputBytes, image.size());
  EXPECT_TRUE(std::equal(stub.begin(), stub.end(), image.begin()));
  UnpackedArchive archive = unpackArchive(image);
  EXPECT_EQ(archive.markerOffset, 4096);
  EXPECT_EQ(archive.archiveFlags, 0);
  ASSERT_EQ(archive.entries.size(), 2u);
  EXPECT_EQ(archive.entries[0].name, "three.txt");
  EXPECT_EQ(archive.entries[1].name, "sub\\two.txt");
  EXPECT_EQ(archive.entries[1].flags, 0x8040);
  EXPECT_EQ(archive.entries[1].packingMethod, 0x31);
  EXPECT_TRUE(archive.entries[1].data == corpus::text(1000, 5));
}

TEST_F(TreePacker, RefusalsLeaveNoOutputBehind) {
  write(in("file.txt"), corpus::text(100, 8));
  write(root_ / "big.exe", corpus::Bytes(131054, 0));
  write(root_ / "tiny.exe", corpus::Bytes(3, 0));
  // A marker and an archive header's block type in the stub: the search would
  // stop there instead of at the archive.
  corpus::Bytes fake(2000, 0);
  const uint8_t marker[] = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00, 0x00, 0x00, 0x73};
  std::copy(std::begin(marker), std::end(marker), fake.begin() + 100);
  write(root_ / "fake.exe", fake);
  std::string longName(260, 'n');
  longName += '\n';
  write(root_ / "longname.txt", corpus::Bytes(longName.begin(), longName.end()));
  write(root_ / "missing.txt", {'n', 'o', 'p', 'e', '\n'});
  write(root_ / "twice.txt", {'f', 'i', 'l', 'e', '.', 't', 'x', 't', '\n', 'f', 'i', 'l', 'e', '.',
                              't', 'x', 't', '\n'});
  struct Case {
    const char* name;
    const char* stub;
    const char* list;
    const char* message;  // part of the error
  };
  const Case cases[] = {
      {"marker beyond 131,053", "big.exe", nullptr, "131,053"},
      {"marker at 1..6 is never found", "tiny.exe", nullptr, "fewer than 7"},
      {"name of 260 bytes", nullptr, "longname.txt", "259"},
      {"unreadable file", nullptr, "missing.txt", "cannot read"},
      {"file listed twice", nullptr, "twice.txt", "twice"},
      {"missing stub", "absent.exe", nullptr, "cannot read"},
      {"stub with an archive start of its own", "fake.exe", nullptr, "look like an archive start"},
  };
  for (const Case& c : cases) {
    PackRequest request;
    if (c.stub) request.stub = (root_ / c.stub).string();
    if (c.list) request.fileList = (root_ / c.list).string();
    PackResult result = pack(request);
    EXPECT_FALSE(result.ok) << c.name;
    EXPECT_NE(result.error.find(c.message), std::string::npos) << c.name << ": " << result.error;
    EXPECT_FALSE(fs::exists(out())) << c.name;
    EXPECT_FALSE(fs::exists(out() + ".tmp")) << c.name;
  }
}

TEST(StoredName, JoinsWithBackslashesAndRefusesWhatCannotBeStored) {
  struct Case {
    const char* relative;
    const char* stored;  // "" when refused
  };
  const Case cases[] = {
      {"a.txt", "a.txt"},
      {"dir/sub/f.dat", "dir\\sub\\f.dat"},
      {"with space/x", "with space\\x"},
      {"back\\slash", ""},
      {"colon:name", ""},
      {"tab\tname", ""},
      {"caf\xC3\xA9", ""},
      {"a//b", ""},
      {"../up", ""},
      {"what?", ""},
  };
  for (const Case& c : cases) {
    std::string reason;
    EXPECT_EQ(storedName(c.relative, &reason), c.stored) << c.relative;
    EXPECT_EQ(reason.empty(), *c.stored != 0) << c.relative;
  }
}

TEST(DosDateTime, LocalTimeFieldsWithClampsOutsideTheFormat) {
  std::tm fields{};
  fields.tm_year = 1998 - 1900;
  fields.tm_mon = 10;
  fields.tm_mday = 16;
  fields.tm_hour = 22;
  fields.tm_min = 3;
  fields.tm_sec = 5;  // odd seconds are stored halved, rounded down
  fields.tm_isdst = -1;
  EXPECT_EQ(dosDateTimeFromUnix(std::mktime(&fields)), 0x2570B062u);
  fields.tm_year = 1975 - 1900;
  EXPECT_EQ(dosDateTimeFromUnix(std::mktime(&fields)), 0x00210000u);  // 1 January 1980
}

}  // namespace
}  // namespace tvpack
