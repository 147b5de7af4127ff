// Which stored entry names may be joined to the target directory. Only plain
// relative names stay inside it; anything else could write elsewhere.
#pragma once

// True for a non-empty relative name: no drive letter or other colon, no
// separator at its start, no empty component (two separators in a row, or one
// at the end) and no ".." component. Backslash and slash both separate.
bool entryNameIsSafe(const char* name);
