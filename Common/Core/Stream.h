// Seekable byte streams: files and memory buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace mc {

// Raised by the stream operations; carries the text shown to the user.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EReadError : public EFileError {
public:
    EReadError();
};

class EWriteError : public EFileError {
public:
    EWriteError();
};

inline constexpr const char* kReadErrorText = "Error read operation due to file possibly corrupted.";
inline constexpr const char* kWriteErrorText = "Error write operation. Please check free disk's space.";

class TStream {
public:
    virtual ~TStream() = default;

    // Reads up to count bytes; returns how many were read.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes up to count bytes; returns how many were written.
    virtual size_t Write(const void* buffer, size_t count) = 0;
    virtual int64_t Position() const = 0;
    // Absolute positioning; false when the position cannot be reached.
    virtual bool Seek(int64_t position) = 0;
    virtual int64_t Size() const = 0;

    // The unread bytes when the stream lives in memory, else nullptr.
    // Callers that consume bytes from the view advance with Seek.
    virtual const uint8_t* View(size_t& available) const
    {
        available = 0;
        return nullptr;
    }

    int64_t Remaining() const
    {
        const int64_t r = Size() - Position();
        return r > 0 ? r : 0;
    }
};

// Read-only stream over bytes owned elsewhere.
class TMemoryReader : public TStream {
public:
    TMemoryReader(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Position() const override { return static_cast<int64_t>(pos_); }
    bool Seek(int64_t position) override;
    int64_t Size() const override { return static_cast<int64_t>(size_); }
    const uint8_t* View(size_t& available) const override
    {
        available = size_ - pos_;
        return data_ + pos_;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Growable stream that owns its bytes.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Position() const override { return static_cast<int64_t>(pos_); }
    bool Seek(int64_t position) override;
    int64_t Size() const override { return static_cast<int64_t>(bytes_.size()); }
    const uint8_t* View(size_t& available) const override
    {
        available = bytes_.size() - pos_;
        return bytes_.data() + pos_;
    }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> TakeBytes();
    void Clear();

    // Limits the size the stream may grow to; writes past it come up short
    // (useful for exercising full-disk paths).
    void SetCapacityLimit(size_t limit) { limit_ = limit; }

private:
    std::vector<uint8_t> bytes_;
    size_t pos_ = 0;
    size_t limit_ = SIZE_MAX;
};

// Buffered file stream.
class TFileStream : public TStream {
public:
    enum class Mode { Read, Create, ReadWrite };

    TFileStream() = default;
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    // False when the file cannot be opened in that mode.
    bool Open(const std::string& path, Mode mode);
    bool IsOpen() const { return file_ != nullptr; }
    // Flushes and closes; false when buffered data could not be written.
    bool Close();

    size_t Read(void* buffer, size_t count) override;
    size_t Write(const void* buffer, size_t count) override;
    int64_t Position() const override;
    bool Seek(int64_t position) override;
    int64_t Size() const override;

private:
    std::FILE* file_ = nullptr;
};

// Reads a whole file into memory; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace mc
