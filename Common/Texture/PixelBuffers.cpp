#include "Texture/PixelBuffers.h"

#include <mutex>
#include <new>
#include <vector>

namespace mc {

namespace {

// Smaller buffers come from the allocator's own free lists.
constexpr size_t kMinKeptPixels = 64 * 1024;
// At most this many pixels are kept in all (the images of a 2048 x 2048
// texture with all its levels).
constexpr size_t kMaxKeptPixels = 12 * 1024 * 1024;
// A kept buffer serves a request of at least half its size.
constexpr size_t kMaxWaste = 2;

struct TKept {
    uint32_t* buffer;
    size_t capacity;
};

struct TPool {
    std::mutex lock;
    std::vector<TKept> kept;
    size_t keptPixels = 0;
};

TPool& Pool()
{
    static TPool* pool = new TPool;  // outlives every picture, even static ones
    return *pool;
}

}  // namespace

uint32_t* AcquirePixelBuffer(size_t count, size_t& capacity)
{
    if (count >= kMinKeptPixels) {
        TPool& pool = Pool();
        std::lock_guard<std::mutex> guard(pool.lock);
        size_t best = pool.kept.size();
        for (size_t i = 0; i < pool.kept.size(); ++i) {
            const size_t c = pool.kept[i].capacity;
            if (c >= count && c / kMaxWaste <= count && (best == pool.kept.size() || c < pool.kept[best].capacity))
                best = i;
        }
        if (best < pool.kept.size()) {
            const TKept k = pool.kept[best];
            pool.kept.erase(pool.kept.begin() + ptrdiff_t(best));
            pool.keptPixels -= k.capacity;
            capacity = k.capacity;
            return k.buffer;
        }
    }
    capacity = count;
    return count ? new uint32_t[count] : nullptr;
}

void ReleasePixelBuffer(uint32_t* buffer, size_t capacity)
{
    if (!buffer) return;
    if (capacity >= kMinKeptPixels && capacity <= kMaxKeptPixels) {
        TPool& pool = Pool();
        std::lock_guard<std::mutex> guard(pool.lock);
        // Make room by dropping the oldest buffers.
        while (pool.keptPixels + capacity > kMaxKeptPixels && !pool.kept.empty()) {
            delete[] pool.kept.front().buffer;
            pool.keptPixels -= pool.kept.front().capacity;
            pool.kept.erase(pool.kept.begin());
        }
        pool.kept.push_back({buffer, capacity});
        pool.keptPixels += capacity;
        return;
    }
    delete[] buffer;
}

void TrimPixelBuffers()
{
    TPool& pool = Pool();
    std::lock_guard<std::mutex> guard(pool.lock);
    for (const TKept& k : pool.kept) delete[] k.buffer;
    pool.kept.clear();
    pool.keptPixels = 0;
}

}  // namespace mc
