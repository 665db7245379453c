// The open file of an archive: read-only, unbuffered (every read goes to the
// file at once, so reading an entry's data is one read), with its size taken
// once at opening. Others may read the file meanwhile but not write it where
// the system can forbid that.
#pragma once

#include <cstdio>
#include <string>

#include "Core/Stream.h"

namespace mc {

class TArchiveFileStream : public TStream {
public:
    TArchiveFileStream() = default;
    ~TArchiveFileStream() override;
    TArchiveFileStream(const TArchiveFileStream&) = delete;
    TArchiveFileStream& operator=(const TArchiveFileStream&) = delete;

    // False when the file cannot be opened for reading.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Position() const override { return pos_; }
    bool Seek(int64_t position) override;
    int64_t Size() const override { return size_; }

private:
    std::FILE* file_ = nullptr;
    int64_t size_ = 0;
    int64_t pos_ = 0;
    bool placed_ = true;  // the file's own position equals pos_
};

}  // namespace mc
