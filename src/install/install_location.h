// The install directory the setup proposes and the record of the one chosen:
// one value, "Dir", under the current user's key Software\Tarnivole.
#pragma once

// Fills buffer (260 bytes) with the proposed directory: the recorded one when
// there is one, else Tarnivole in Programme or Program Files beside the
// Windows directory.
void defaultInstallDir(char* buffer);

// Records path as the install directory; failures are not reported.
void recordInstallDir(const char* path);
