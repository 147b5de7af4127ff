// The Program Manager commands: the group command, and the item command whose
// directory and program file name are quoted exactly when the directory
// holds a blank.
#include "shell/program_group.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramGroup, GroupCommandCreatesTarnivole) {
  char buffer[2048];
  formatGroupCommand(buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "[CreateGroup(Tarnivole)]");
}

struct ItemCase {
  const char* targetDir;
  const char* command;
};

const ItemCase Items[] = {
    {"D:\\TOOLS\\", "[AddItem(D:\\TOOLS\\QVTX.EXE,Tarnivole)]"},
    {"C:\\Program Files\\Tarnivole\\",
     "[AddItem(\"C:\\Program Files\\Tarnivole\\QVTX.EXE\",Tarnivole)]"},
    // A blank anywhere quotes, even the last character before the backslash.
    {"C:\\APPS \\", "[AddItem(\"C:\\APPS \\QVTX.EXE\",Tarnivole)]"},
    {" \\", "[AddItem(\" \\QVTX.EXE\",Tarnivole)]"},
    // Only the blank decides: tabs, commas and brackets stay unquoted.
    {"C:\\A\tB\\", "[AddItem(C:\\A\tB\\QVTX.EXE,Tarnivole)]"},
    {"C:\\A,B(1)\\", "[AddItem(C:\\A,B(1)\\QVTX.EXE,Tarnivole)]"},
    // No separator is added: the directory is expected to end in a backslash.
    {"C:\\X", "[AddItem(C:\\XQVTX.EXE,Tarnivole)]"},
};

TEST(ProgramGroup, ItemCommandQuotesDirectoryAndProgramOnlyWhenDirectoryHasABlank) {
  for (const ItemCase& item : Items) {
    char buffer[2048];
    formatItemCommand(buffer, sizeof buffer, item.targetDir);
    EXPECT_STREQ(buffer, item.command) << "for " << item.targetDir;
  }
}

}  // namespace
