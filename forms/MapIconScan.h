// The map-icon catalog of a game: every ".p3d" of the open archives loaded
// (on as many threads as asked, all cores by default) for its map icon, and
// the class tree of groups built from the results in a fixed order, so that
// the tree is the same whatever the thread count.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace mc {

class TGameData;
class TPbFile;
class TPbFileItem;
class TResources;

// The group of the models whose map icon has no name.
inline constexpr const char* kOtherMapIconGroup = "Other";

class TMapIconScan {
public:
    struct TEntry {
        int Archive = 0;                    // index in the game's archive list
        const TPbFileItem* Item = nullptr;  // the archive's entry
        std::string GamePath;               // the archive's name, a backslash, the entry's name
        int MapIcon = -1;                   // -1: the model did not load
    };

    explicit TMapIconScan(const TGameData& game) : game_(game) {}

    // Threads that load; 0 (the default) uses every core.
    void SetThreads(int threads) { threads_ = threads; }
    int Threads() const;

    // Lists the models, archive by archive in list order and entry by entry
    // in name order, and loads each. progress(done, total) is called on the
    // calling thread while the loads run and once at the end. What the
    // loaders log is handed to the program's log on the calling thread when
    // all are done, in the models' order.
    void Run(const std::function<void(int done, int total)>& progress = {});

    const std::vector<TEntry>& Entries() const { return entries_; }

    // Fills the document: the root (group = 1), a group for each map icon in
    // table order ("icon %d" for the table's unnamed ones), then "Other" for
    // icons beyond the table, each holding its
    // models in scan order; groups without models are left out.
    void BuildDocument(TResources& document) const;

private:
    void ListEntries();

    const TGameData& game_;
    int threads_ = 0;
    std::vector<TEntry> entries_;
};

}  // namespace mc
