// The Program Manager group: after a successful installation the program asks
// the shell, over DDE (service and topic "PROGMAN"), to create the group
// "Tarnivole" with an item for the installed program. Best-effort and silent.
#pragma once

#include <windows.h>

// Creates the group and its item. targetDir ends in a backslash; the program's
// file name is appended to it directly. Every failure is silent.
void registerProgramGroup(const char* targetDir);

// The DDEML callback of the client instance: it serves nothing and returns no data.
HDDEDATA CALLBACK ddeCallback(UINT type, UINT format, HCONV conversation, HSZ string1, HSZ string2,
                              HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);

// The commands, formatted into a buffer of bufferSize bytes. The item command
// quotes directory and program file name when the directory holds a blank,
// since the shell splits the item's fields and command line at blanks.
void formatGroupCommand(char* buffer, int bufferSize);
void formatItemCommand(char* buffer, int bufferSize, const char* targetDir);
