// The console the command-line tool writes to.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace mc::platform {

// True when the stream is an interactive terminal (progress bars are drawn
// only there).
bool IsTerminal(std::FILE* stream);

// Columns of the terminal behind stream, or fallback.
int TerminalWidth(std::FILE* stream, int fallback = 80);

// The program's arguments (without its own name) as UTF-8 texts. On Windows
// they are taken from the wide command line, since argv holds them in the
// code page of the day, which cannot spell every file name.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Makes the standard streams carry bytes as they are written: no CR added
// before LF on Windows (file contents go to standard output), and UTF-8
// text shown as such in a Windows console.
void UseBinaryStandardStreams();

}  // namespace mc::platform
