// Extracting archive entries into a folder on disk. Entry names that would
// leave the folder are refused; the other entries are extracted.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mc {

class TPbFile;
class TPbFileItem;

// The relative path an entry name is written to ("." and empty components
// dropped). False, with a reason, for a name that is empty, names a folder,
// starts with a separator or a drive letter, has a ".." component (or one
// Windows reads as "..") or a colon, or names a device of Windows ("NUL",
// "com1.txt").
bool SafeEntryPath(std::string_view entryName, std::filesystem::path& relative, std::string* reason = nullptr);

struct TExtractSummary {
    int Extracted = 0;
    int Refused = 0;  // unsafe names
    int Failed = 0;   // data that does not extract, files that cannot be written
    uint64_t Bytes = 0;
};

// Writes each item (all entries when items is empty) to folder, creating the
// folders the names need. A refused or failed entry gets one log line and the
// others go on. Shows the status "Extract "%s.%s"..." and the progress in
// bytes; an existing file is replaced only by a complete new one.
TExtractSummary ExtractToFolder(const TPbFile& archive, const std::string& folder,
                                const std::vector<const TPbFileItem*>& items = {});

}  // namespace mc
