#include "MapIconScan.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>

#include "Archive/ArchiveFileStream.h"
#include "Archive/PbList.h"
#include "CatalogClasses.h"
#include "Config/Resources.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"
#include "Game/GameData.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/ModelTables.h"
#include "Texture/TextureHeaderLookup.h"

namespace mc {

namespace {

bool IsModelName(const std::string& name)
{
    return name.size() >= 4 && LowerCase(name.substr(name.size() - 4)) == ".p3d";
}

// What the loaders report while they run on other threads: kept per model
// and handed to the program's services afterwards.
class TScanServices : public IAppServices {
public:
    explicit TScanServices(size_t models) : lines_(models) {}

    void AddLog(std::string_view line) override { Add(std::string(line)); }
    void ShowMessage(TMessageKind, std::string_view text) override { Add(std::string(text)); }
    void ShowStatus(std::string_view) override {}
    void BeginWait() override {}
    void EndWait() override {}

    static void SetCurrent(size_t index) { current_ = index; }

    void Replay(IAppServices* target) const
    {
        if (!target) return;
        for (const auto& model : lines_)
            for (const std::string& line : model) target->AddLog(line);
    }

private:
    void Add(std::string line)
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (current_ < lines_.size()) lines_[current_].push_back(std::move(line));
    }

    std::mutex lock_;
    std::vector<std::vector<std::string>> lines_;
    static thread_local size_t current_;
};

thread_local size_t TScanServices::current_ = size_t(-1);

// Texture headers of editable models, read one at a time through the
// archives' shared streams and remembered by name.
class TSharedHeaderLookup : public ITextureHeaderSource {
public:
    TSharedHeaderLookup(const TGameData& game, std::mutex& archives) : lookup_(game), archives_(archives) {}

    std::optional<TTextureHeaderInfo> Header(const std::string& gamePath) override
    {
        std::lock_guard<std::mutex> guard(archives_);
        const std::string key = LowerCase(gamePath);
        const auto known = cache_.find(key);
        if (known != cache_.end()) return known->second;
        auto header = lookup_.Header(gamePath);
        cache_.emplace(key, header);
        return header;
    }

private:
    TTextureHeaderLookup lookup_;
    std::mutex& archives_;
    std::unordered_map<std::string, std::optional<TTextureHeaderInfo>> cache_;
};

// One loading thread's own handles on the archive files, so that the
// threads read side by side; an archive that is not a file on disk is read
// through its shared stream under the lock.
class TArchiveReaders {
public:
    TArchiveReaders(const TGameData& game, std::mutex& shared) : game_(game), shared_(shared) {}

    // The entry's bytes, in a buffer kept from one model to the next.
    const std::vector<uint8_t>* Extract(int archive, const TPbFileItem& item)
    {
        return ExtractInto(archive, item, buffer_) ? &buffer_ : nullptr;
    }

private:
    bool ExtractInto(int archive, const TPbFileItem& item, std::vector<uint8_t>& bytes)
    {
        if (size_t(archive) >= streams_.size()) streams_.resize(size_t(archive) + 1);
        auto& own = streams_[size_t(archive)];
        if (!own) {
            own = std::make_unique<TArchiveFileStream>();
            own->Open(game_.PbList.Archive(archive)->FileName);
        }
        if (own->IsOpen()) return item.ExtractToBytes(own.get(), bytes);
        std::lock_guard<std::mutex> guard(shared_);
        return item.ExtractToBytes(game_.PbList.Archive(archive)->Stream.get(), bytes);
    }

    const TGameData& game_;
    std::mutex& shared_;
    std::vector<std::unique_ptr<TArchiveFileStream>> streams_;
    std::vector<uint8_t> buffer_;
};

int LoadMapIcon(TArchiveReaders& readers, ITextureHeaderSource& headers,
                const TMapIconScan::TEntry& entry)
{
    try {
        const std::vector<uint8_t>* bytes = readers.Extract(entry.Archive, *entry.Item);
        if (!bytes) return -1;
        auto model = ReadModelFromMemory(bytes->data(), bytes->size(), entry.GamePath, &headers).Release();
        return model ? int(model->MapIcon) : -1;
    } catch (const std::exception& e) {
        AddLog(Format("Cannot load \"%s\": %s", entry.GamePath.c_str(), e.what()));
        return -1;
    } catch (...) {
        return -1;
    }
}

}  // namespace

int TMapIconScan::Threads() const
{
    if (threads_ > 0) return threads_;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

void TMapIconScan::ListEntries()
{
    entries_.clear();
    for (int a = 0; a < game_.PbList.Count(); ++a) {
        const TPbFile* archive = game_.PbList.Archive(a);
        for (int i = 0; i < archive->Files.Count(); ++i) {
            const TPbFileItem* item = archive->Files.Object(i).get();
            if (!IsModelName(item->Name)) continue;
            entries_.push_back({a, item, item->FullName(), -1});
        }
    }
}

void TMapIconScan::Run(const std::function<void(int done, int total)>& progress)
{
    ListEntries();
    const int total = int(entries_.size());
    IAppServices* program = GetAppServices();
    TScanServices recorder(entries_.size());
    SetAppServices(&recorder);

    std::mutex shared;
    TSharedHeaderLookup headers(game_, shared);
    std::atomic<int> next{0}, done{0};
    std::mutex doneLock;
    std::condition_variable doneSignal;
    auto work = [&] {
        TArchiveReaders readers(game_, shared);
        for (int i; (i = next.fetch_add(1)) < total;) {
            TScanServices::SetCurrent(size_t(i));
            entries_[size_t(i)].MapIcon = LoadMapIcon(readers, headers, entries_[size_t(i)]);
            TScanServices::SetCurrent(size_t(-1));
            if (done.fetch_add(1) + 1 == total) {
                std::lock_guard<std::mutex> guard(doneLock);
                doneSignal.notify_all();
            }
        }
    };

    const int threads = std::min(Threads(), std::max(total, 1));
    if (threads <= 1) {
        // One thread: the calling one, reporting as it goes.
        TArchiveReaders readers(game_, shared);
        for (int i = 0; i < total; ++i) {
            TScanServices::SetCurrent(size_t(i));
            entries_[size_t(i)].MapIcon = LoadMapIcon(readers, headers, entries_[size_t(i)]);
            TScanServices::SetCurrent(size_t(-1));
            if (progress && (i % 16 == 0)) {
                SetAppServices(program);
                progress(i + 1, total);
                SetAppServices(&recorder);
            }
        }
    } else {
        std::vector<std::thread> pool;
        pool.reserve(size_t(threads));
        for (int t = 0; t < threads; ++t) pool.emplace_back(work);
        int shown = -1;
        for (;;) {
            {
                std::unique_lock<std::mutex> guard(doneLock);
                doneSignal.wait_for(guard, std::chrono::milliseconds(50), [&] { return done.load() >= total; });
            }
            const int now = done.load();
            if (now >= total) break;
            if (progress && now != shown) {
                shown = now;
                progress(now, total);
            }
        }
        for (auto& t : pool) t.join();
    }
    SetAppServices(program);
    recorder.Replay(program);
    if (progress) progress(total, total);
}

void TMapIconScan::BuildDocument(TResources& document) const
{
    document.RootClass->Clear();
    document.RootClass->AddMember(std::make_unique<TRField>("group", std::make_unique<TRInteger>(1)));
    std::vector<TRClass*> groups;
    for (int icon = 0; icon < kMapIconCount; ++icon) {
        // The table's unnamed entries get a name the tree can show.
        const std::string name = MapIconName(icon);
        groups.push_back(AddCatalogGroup(*document.RootClass, name.empty() ? Format("icon %d", icon) : name));
    }
    groups.push_back(AddCatalogGroup(*document.RootClass, kOtherMapIconGroup));
    for (const TEntry& entry : entries_) {
        if (entry.MapIcon < 0) continue;
        AddCatalogItem(*groups[size_t(std::min(entry.MapIcon, kMapIconCount))], entry.GamePath);
    }
    for (TRClass* group : groups)
        if (!group->HasClassMembers()) document.RootClass->RemoveAndFree(group);
}

}  // namespace mc
