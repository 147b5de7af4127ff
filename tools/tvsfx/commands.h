// The subcommands of tvsfx. Each parses its own arguments (argv[0] is the
// subcommand's name) and returns the process exit status.
#pragma once

int runListCommand(int argc, char** argv);
int runTestCommand(int argc, char** argv);
int runPackCommand(int argc, char** argv);
int runExtractCommand(int argc, char** argv);

// Exit status for bad arguments (BSD's EX_USAGE).
constexpr int ExitUsage = 64;
