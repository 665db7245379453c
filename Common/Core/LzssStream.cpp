#include "Core/LzssStream.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "Core/Stream.h"

namespace mc {

namespace {

// Compressed bytes in memory the stream lends: all available at once.
class TViewSource final : public TLzssChunkSource {
public:
    TViewSource(const uint8_t* data, size_t size)
    {
        cur = data;
        end = data + size;
    }
    bool Refill() override { return false; }
};

// Compressed bytes read from a stream through a buffer. Never reads more than
// the largest possible compressed size, and remembers how far ahead of the
// consumed position the stream has been read.
class TStreamSource final : public TLzssChunkSource {
public:
    static constexpr size_t kChunk = 64 * 1024;

    TStreamSource(TStream& s, size_t maxBytes)
        : stream_(s), budget_(maxBytes), size_(std::min(kChunk, maxBytes)), buffer_(new uint8_t[size_])
    {
        cur = end = buffer_.get();
    }

    bool Refill() override
    {
        if (exhausted_) return false;
        uint8_t* base = buffer_.get();
        const size_t left = size_t(end - cur);
        if (left && cur != base) std::memmove(base, cur, left);
        cur = base;
        end = base + left;
        const size_t want = std::min(size_ - left, budget_);
        const size_t got = want ? stream_.Read(base + left, want) : 0;
        if (got == 0) {
            exhausted_ = true;
            return false;
        }
        budget_ -= got;
        end += got;
        return true;
    }

private:
    TStream& stream_;
    size_t budget_;  // bytes that may still be read from the stream
    size_t size_;    // buffer size: no larger than the whole budget
    std::unique_ptr<uint8_t[]> buffer_;
    bool exhausted_ = false;
};

}  // namespace

bool LzssDecodeStream(TStream& stream, uint8_t* dst, size_t n, TLzssChecksum checksum)
{
    if (!dst || n < 1) return false;

    size_t available = 0;
    if (const uint8_t* view = stream.View(available)) {
        TViewSource in(view, available);
        const TLzssStatus status = LzssDecodeChunks(in, dst, n, checksum);
        if (status == TLzssStatus::SourceEnded) throw EReadError();
        stream.Seek(stream.Position() + int64_t(in.cur - view));
        return status == TLzssStatus::Ok;
    }

    TStreamSource in(stream, LzssMaxConsumed(n));
    const TLzssStatus status = LzssDecodeChunks(in, dst, n, checksum);
    if (status == TLzssStatus::SourceEnded) throw EReadError();
    // Give back what was read ahead of the last byte used.
    const int64_t readAhead = int64_t(in.end - in.cur);
    if (readAhead) stream.Seek(stream.Position() - readAhead);
    return status == TLzssStatus::Ok;
}

}  // namespace mc
