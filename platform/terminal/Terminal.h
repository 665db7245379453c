// The console the command-line tool writes to.
#pragma once

#include <cstdio>

namespace mc::platform {

// True when the stream is an interactive terminal (progress bars are drawn
// only there).
bool IsTerminal(std::FILE* stream);

// Columns of the terminal behind stream, or fallback.
int TerminalWidth(std::FILE* stream, int fallback = 80);

}  // namespace mc::platform
