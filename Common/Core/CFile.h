// The C library's file calls that differ between systems, in one place: file
// names are UTF-8 everywhere (the wide-character calls on Windows), offsets
// are 64 bits (long is 32 bits on Windows).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace mc {

enum class TCFileMode {
    Read,            // "rb"
    ReadShared,      // "rb", others may read but not write while it is open (where the system can say so)
    Update,          // "r+b"
    Create,          // "wb"
    CreateExclusive, // "wbx": fails (errno EEXIST) when the name is taken
};

std::FILE* OpenCFile(const std::string& utf8Path, TCFileMode mode);

// whence as fseek's.
bool SeekCFile(std::FILE* file, int64_t offset, int whence);
int64_t TellCFile(std::FILE* file);

}  // namespace mc
