// Reads a stream through a buffer of its own, so that many small reads (the
// entry headers of an archive) cost a copy each instead of a call into the
// file layer. Reading only; the underlying stream's position is undefined
// while this one is in use.
#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "Core/Stream.h"

namespace mc {

class TReadAheadStream : public TStream {
public:
    TReadAheadStream(TStream& base, size_t bufferSize = 64 * 1024)
        : base_(base), buffer_(bufferSize), start_(base.Position()), size_(base.Size())
    {
    }

    size_t Read(void* buffer, size_t count) override
    {
        auto* out = static_cast<uint8_t*>(buffer);
        size_t done = 0;
        while (done < count) {
            if (pos_ == end_ && !Fill()) break;
            const size_t n = std::min(count - done, end_ - pos_);
            std::memcpy(out + done, buffer_.data() + pos_, n);
            pos_ += n;
            done += n;
        }
        return done;
    }
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Position() const override { return start_ + static_cast<int64_t>(pos_); }
    bool Seek(int64_t position) override
    {
        if (position < 0 || position > size_) return false;
        if (position >= start_ && position <= start_ + static_cast<int64_t>(end_)) {
            pos_ = static_cast<size_t>(position - start_);
            return true;
        }
        start_ = position;
        pos_ = end_ = 0;
        return true;
    }
    int64_t Size() const override { return size_; }
    // The buffered bytes not read yet (fewer than remain in the stream when
    // the buffer ends first; a Read refills it).
    const uint8_t* View(size_t& available) const override
    {
        available = end_ - pos_;
        return buffer_.data() + pos_;
    }
    // Refills when the buffer holds fewer than want bytes; View then shows
    // at least want bytes unless the stream ends first.
    void Prefetch(size_t want)
    {
        if (end_ - pos_ < want) Fill();
    }

private:
    // Keeps the unread bytes and appends as many as fit.
    bool Fill()
    {
        const size_t keep = end_ - pos_;
        if (keep) std::memmove(buffer_.data(), buffer_.data() + pos_, keep);
        start_ += static_cast<int64_t>(pos_);
        pos_ = 0;
        end_ = keep;
        if (!base_.Seek(start_ + static_cast<int64_t>(keep))) return false;
        end_ += base_.Read(buffer_.data() + keep, buffer_.size() - keep);
        return end_ > keep;
    }

    TStream& base_;
    std::vector<uint8_t> buffer_;
    int64_t start_;  // stream position of buffer_[0]
    int64_t size_;
    size_t pos_ = 0, end_ = 0;
};

}  // namespace mc
