// The extraction run's decisions per entry, shown with entries that hold no
// bytes (so no packed data is needed): which entries are written, skipped or
// refused, what is shown, and the result codes.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "install/extraction.h"
#include "install/extraction_run.h"
#include "install/scratch_dir.h"

namespace {

namespace fs = std::filesystem;
using tvpack::appendBlock;
using tvpack::appendEntryHeader;
using tvpack::Bytes;
using tvtest::archiveStart;
using tvtest::emptyEntry;
using tvtest::extractImage;
using tvtest::ScratchDir;
using tvtest::treeOf;

constexpr const char* CannotInstall = ": Cannot install file.\n";

Bytes subBlock() {
  tvpack::BlockFields block;
  block.blockType = 0x77;
  block.blockFlags = 0x8000;
  block.addedSize = 5;
  block.body = {1, 2, 3};
  Bytes bytes;
  appendBlock(bytes, block);
  bytes.insert(bytes.end(), {9, 9, 9, 9, 9});
  return bytes;
}

TEST(Extraction, ArchiveWithoutEntriesInstallsNothingAndEndsTheTargetInABackslash) {
  ScratchDir scratch;
  const auto run = extractImage(scratch, archiveStart());
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(treeOf(scratch.path() / "T"), "");
  EXPECT_EQ(run.targetAfter, scratch.internal("T") + "\\");
}

TEST(Extraction, MissingFileOrNoArchiveGivesTwoWithoutAnyMessage) {
  ScratchDir scratch;
  Bytes notAnArchive(200, 'Z');
  Bytes shortHeader = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00, 0x11, 0x22};
  for (const Bytes& image : {notAnArchive, shortHeader, Bytes{}}) {
    const auto run = extractImage(scratch, image);
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(run.progress + run.messages, "");
  }
  char target[261] = {};
  strcpy(target, scratch.internal("T").c_str());
  EXPECT_EQ(extractArchive(nullptr, scratch.internal("NO-SUCH-FILE").c_str(), target), 2);
}

TEST(Extraction, EntriesWithDirectoryPartsCreateTheirParentsFirst) {
  ScratchDir scratch;
  Bytes image = archiveStart();
  appendEntryHeader(image, emptyEntry("TOP.TXT"));
  appendEntryHeader(image, emptyEntry("A\\B\\C.TXT"));
  appendEntryHeader(image, emptyEntry("A/D.TXT"));  // slashes separate too
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(treeOf(scratch.path() / "T"), "A/\nA/B/\nA/B/C.TXT\nA/D.TXT\nTOP.TXT\n");
  EXPECT_EQ(run.progress, "TOP.TXT\nA\\B\\C.TXT\nA\\D.TXT\n");
  EXPECT_EQ(run.messages, "");
}

TEST(Extraction, DirectoryAndVolumeLabelEntriesCreateAndShowNothing) {
  ScratchDir scratch;
  Bytes image = archiveStart();
  appendEntryHeader(image, emptyEntry("EMPTYDIR", 0x10));
  appendEntryHeader(image, emptyEntry("LABEL", 0x08));
  auto unixDirectory = emptyEntry("UNIXDIR");
  unixDirectory.hostSystem = 3;
  unixDirectory.blockFlags = 0x80E0;
  appendEntryHeader(image, unixDirectory);
  appendEntryHeader(image, emptyEntry("FILE.TXT"));
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(treeOf(scratch.path() / "T"), "FILE.TXT\n");
  EXPECT_EQ(run.progress, "FILE.TXT\n");
}

TEST(Extraction, BytesCarriedByADirectoryEntryAreNeverReadAsBlocks) {
  // A directory entry whose added size covers a whole entry header: the hidden
  // entry must not be installed, the entry after the directory's bytes must.
  for (uint32_t attributes : {0x10u, 0x08u}) {
    ScratchDir scratch;
    Bytes hidden;
    appendEntryHeader(hidden, emptyEntry("HIDDEN.TXT"));
    Bytes image = archiveStart();
    auto directory = emptyEntry("DIR", attributes);
    directory.compressedSize = static_cast<uint32_t>(hidden.size());
    appendEntryHeader(image, directory);
    tvpack::appendBytes(image, hidden);
    appendEntryHeader(image, emptyEntry("AFTER.TXT"));
    const auto run = extractImage(scratch, image);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(treeOf(scratch.path() / "T"), "AFTER.TXT\n") << "attributes " << attributes;
  }
}

TEST(Extraction, SubBlocksArePassedOverAnywhere) {
  ScratchDir scratch;
  Bytes image = archiveStart();
  tvpack::appendBytes(image, subBlock());
  appendEntryHeader(image, emptyEntry("ONE.TXT"));
  tvpack::appendBytes(image, subBlock());
  appendEntryHeader(image, emptyEntry("TWO.TXT"));
  tvpack::appendBytes(image, subBlock());
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(treeOf(scratch.path() / "T"), "ONE.TXT\nTWO.TXT\n");
}

TEST(Extraction, FirstEntryContinuedFromAnotherVolumeEndsWithTwoBeforeAnything) {
  // A sub-block in front does not make the entry any less the first.
  for (bool subBlockFirst : {false, true}) {
    ScratchDir scratch;
    Bytes image = archiveStart();
    if (subBlockFirst) tvpack::appendBytes(image, subBlock());
    auto continued = emptyEntry("PART.TXT");
    continued.blockFlags |= 0x0001;
    appendEntryHeader(image, continued);
    appendEntryHeader(image, emptyEntry("NEXT.TXT"));
    const auto run = extractImage(scratch, image);
    EXPECT_EQ(run.result, 2);
    EXPECT_EQ(treeOf(scratch.path() / "T"), "");
    EXPECT_EQ(run.progress + run.messages, "");
  }
}

TEST(Extraction, ContinuedFlagOnALaterEntryIsNotLookedAt) {
  ScratchDir scratch;
  Bytes image = archiveStart();
  appendEntryHeader(image, emptyEntry("ONE.TXT"));
  auto continued = emptyEntry("TWO.TXT");
  continued.blockFlags |= 0x0001;
  appendEntryHeader(image, continued);
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(treeOf(scratch.path() / "T"), "ONE.TXT\nTWO.TXT\n");
}

TEST(Extraction, ArchiveEndingInAnEntryThatGoesOnInANextVolumeEndsWithTwo) {
  ScratchDir scratch;
  Bytes image = archiveStart(0x0001);
  appendEntryHeader(image, emptyEntry("ONE.TXT"));
  auto split = emptyEntry("SPLIT.TXT");
  split.blockFlags |= 0x0002;
  appendEntryHeader(image, split);
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 2);
  EXPECT_EQ(run.messages, "");
}

TEST(Extraction, ForeignUnpackVersionEndsWithOneAfterShowingOnlyItsName) {
  for (uint8_t version : {12, 21}) {
    ScratchDir scratch;
    Bytes image = archiveStart();
    appendEntryHeader(image, emptyEntry("BEFORE.TXT"));
    auto foreign = emptyEntry("FOREIGN.TXT");
    foreign.versionNeeded = version;
    appendEntryHeader(image, foreign);
    appendEntryHeader(image, emptyEntry("AFTER.TXT"));
    const auto run = extractImage(scratch, image);
    EXPECT_EQ(run.result, 1) << "version " << int(version);
    EXPECT_EQ(treeOf(scratch.path() / "T"), "BEFORE.TXT\n");
    EXPECT_EQ(run.progress, "BEFORE.TXT\nFOREIGN.TXT\n");
    EXPECT_EQ(run.messages, "");
  }
  // The accepted range's ends.
  for (uint8_t version : {13, 20}) {
    ScratchDir scratch;
    Bytes image = archiveStart();
    auto entry = emptyEntry("EDGE.TXT");
    entry.versionNeeded = version;
    appendEntryHeader(image, entry);
    EXPECT_EQ(extractImage(scratch, image).result, 0) << "version " << int(version);
  }
}

TEST(Extraction, ExistingSettingsFileIsKeptButGetsTheEntryTimeAndAttributes) {
  ScratchDir scratch;
  tvtest::writeFile(scratch.path() / "T" / "TARNZIP.SET", "user settings");
  Bytes image = archiveStart();
  appendEntryHeader(image, emptyEntry("TARNZIP.SET", 0x21));
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(tvtest::readFile(scratch.path() / "T" / "TARNZIP.SET"), "user settings");
  EXPECT_FALSE(tvtest::isWritable(scratch.path() / "T" / "TARNZIP.SET"));
  EXPECT_EQ(run.progress, "TARNZIP.SET\n");
}

TEST(Extraction, OnlyTheExactSettingsNameIsKept) {
  // Other case, or a directory part: written like any other entry.
  ScratchDir scratch;
  tvtest::writeFile(scratch.path() / "T" / "tarnzip.set", "old");
  tvtest::writeFile(scratch.path() / "T" / "SUB" / "TARNZIP.SET", "old");
  Bytes image = archiveStart();
  appendEntryHeader(image, emptyEntry("tarnzip.set"));
  appendEntryHeader(image, emptyEntry("SUB\\TARNZIP.SET"));
  appendEntryHeader(image, emptyEntry("TARNZIP.SET"));  // none there yet: written
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(tvtest::readFile(scratch.path() / "T" / "tarnzip.set"), "");
  EXPECT_EQ(tvtest::readFile(scratch.path() / "T" / "SUB" / "TARNZIP.SET"), "");
  EXPECT_TRUE(fs::exists(scratch.path() / "T" / "TARNZIP.SET"));
}

TEST(Extraction, ExistingReadOnlyFileIsReplaced) {
  ScratchDir scratch;
  const fs::path file = scratch.path() / "T" / "OLD.TXT";
  tvtest::writeFile(file, "old content");
  tvtest::setReadOnly(file);
  Bytes image = archiveStart();
  appendEntryHeader(image, emptyEntry("OLD.TXT"));
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 0);
  EXPECT_EQ(tvtest::readFile(file), "");
  EXPECT_TRUE(tvtest::isWritable(file));
}

TEST(Extraction, FileThatCannotBeCreatedIsReportedWithItsFullName) {
  // A directory at the output name stays with its content; a file where a
  // directory is needed stays too.
  const struct {
    const char* name;
    const char* inTheWay;
    bool inTheWayIsDirectory;
  } cases[] = {
      {"BUSY", "BUSY/KEEP.TXT", true},
      {"PLAIN\\X.TXT", "PLAIN", false},
  };
  for (const auto& c : cases) {
    ScratchDir scratch;
    tvtest::writeFile(scratch.path() / "T" / c.inTheWay, "keep");
    Bytes image = archiveStart();
    appendEntryHeader(image, emptyEntry("BEFORE.TXT"));
    appendEntryHeader(image, emptyEntry(c.name));
    appendEntryHeader(image, emptyEntry("AFTER.TXT"));
    const auto run = extractImage(scratch, image);
    EXPECT_EQ(run.result, 1) << c.name;
    EXPECT_EQ(run.messages, scratch.internal("T") + "\\" + c.name + CannotInstall);
    EXPECT_EQ(tvtest::readFile(scratch.path() / "T" / c.inTheWay), "keep");
    EXPECT_TRUE(fs::exists(scratch.path() / "T" / "BEFORE.TXT"));
    EXPECT_FALSE(fs::exists(scratch.path() / "T" / "AFTER.TXT"));
    EXPECT_EQ(run.progress, std::string("BEFORE.TXT\n") + c.name + "\n");
  }
}

TEST(Extraction, UnsafeNamesAreRefusedAndNothingAppearsOutsideTheTarget) {
  const char* names[] = {"..\\ESCAPE.TXT",
                         "A\\..\\..\\ESCAPE.TXT",
                         "\\ROOTED.TXT",
                         "C:\\DRIVE.TXT",
                         "C:DRIVE.TXT",
                         "A\\\\B.TXT",
                         "..",
                         "../VICTIM.TXT"};
  for (const char* name : names) {
    ScratchDir scratch;
    // A file beside the target that a refused entry must leave as it is: not
    // replaced, and not given the entry's read-only attribute.
    tvtest::writeFile(scratch.path() / "VICTIM.TXT", "mine");
    Bytes image = archiveStart();
    appendEntryHeader(image, emptyEntry(name, 0x01));
    const auto run = extractImage(scratch, image);
    EXPECT_EQ(run.result, 1) << name;
    std::string shown = name;
    for (char& ch : shown) {
      if (ch == '/') ch = '\\';
    }
    EXPECT_EQ(run.messages, scratch.internal("T") + "\\" + shown + CannotInstall);
    EXPECT_EQ(treeOf(scratch.path()), "ARCHIVE.EXE\nT/\nVICTIM.TXT\n") << name;
    EXPECT_EQ(tvtest::readFile(scratch.path() / "VICTIM.TXT"), "mine");
    EXPECT_TRUE(tvtest::isWritable(scratch.path() / "VICTIM.TXT")) << name;
  }
}

TEST(Extraction, OutputNameLongerThan259CharactersIsRefused) {
  ScratchDir scratch;
  const std::string target = scratch.internal("T") + "\\";
  // One name that just fits and one a character too long.
  const std::string fits(259 - target.size(), 'F');
  const std::string tooLong(260 - target.size(), 'L');
  Bytes image = archiveStart();
  appendEntryHeader(image, emptyEntry(fits));
  appendEntryHeader(image, emptyEntry(tooLong));
  const auto run = extractImage(scratch, image);
  EXPECT_EQ(run.result, 1);
  EXPECT_EQ(run.messages, target + tooLong + CannotInstall);
  EXPECT_EQ(treeOf(scratch.path() / "T"), fits + "\n");
}

}  // namespace
