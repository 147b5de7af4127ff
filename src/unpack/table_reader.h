// Reading a block's table header: a keep flag, 19 pre-code lengths, then the
// code lengths of the block's alphabets coded with that pre-code. LZ headers
// rebuild the main, distance and repeat-length tables; audio headers rebuild
// one to four audio tables.
#pragma once

#include "archive/archive_context.h"

// Alphabet sizes of the tables a header rebuilds.
constexpr int PreCodeSymbols = 19;
constexpr int MainSymbols = 298;  // 256 literals, 14 control codes, 28 length slots
constexpr int DistanceSymbols = 48;
constexpr int RepeatLengthSymbols = 28;
constexpr int AudioSymbols = 257;
constexpr int LzTableLength = MainSymbols + DistanceSymbols + RepeatLengthSymbols;  // 374

// Reads one table header and builds its tables; replaces savedLengths.
void readCodeTables(ArchiveContext* context);

// At the end of an entry: when at least 5 packed bytes remain and the next
// symbol is a table change, reads the tables the next solid entry starts with.
void checkTrailingTables(ArchiveContext* context);
