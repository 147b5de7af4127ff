// Which stored names stay inside the target directory.
#include "install/entry_name.h"

#include <gtest/gtest.h>

namespace {

TEST(EntryName, PlainRelativeNamesAreSafe) {
  for (const char* name :
       {"README.TXT", "DOC\\MANUAL.TXT", "A\\B\\C", "A/B", ".\\X", "..X", "X..", "A\\...\\B"}) {
    EXPECT_TRUE(entryNameIsSafe(name)) << name;
  }
}

TEST(EntryName, NamesThatLeaveTheTargetOrNameADriveAreRefused) {
  for (const char* name :
       {"", "C:\\WINDOWS\\X.DLL", "C:X.DLL", "FILE:STREAM", "\\X", "/X", "\\\\SERVER\\SHARE\\X",
        "A\\\\B", "A\\", "..", "..\\X", "A\\..\\..\\X", "A/../X", "A\\.."}) {
    EXPECT_FALSE(entryNameIsSafe(name)) << name;
  }
}

}  // namespace
