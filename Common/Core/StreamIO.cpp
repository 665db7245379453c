#include "Core/StreamIO.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace mc {

namespace {

template <class T>
T ReadLE(TStream& s)
{
    uint8_t b[sizeof(T)];
    if (s.Read(b, sizeof(T)) != sizeof(T)) throw EReadError();
    std::make_unsigned_t<T> v = 0;
    for (size_t i = 0; i < sizeof(T); ++i) v |= static_cast<std::make_unsigned_t<T>>(b[i]) << (8 * i);
    return static_cast<T>(v);
}

template <class T>
void WriteLE(TStream& s, T value)
{
    uint8_t b[sizeof(T)];
    auto v = static_cast<std::make_unsigned_t<T>>(value);
    for (size_t i = 0; i < sizeof(T); ++i) b[i] = static_cast<uint8_t>(v >> (8 * i));
    if (s.Write(b, sizeof(T)) != sizeof(T)) throw EWriteError();
}

}  // namespace

uint8_t ReadByte(TStream& s) { return ReadLE<uint8_t>(s); }
uint16_t ReadWord(TStream& s) { return ReadLE<uint16_t>(s); }
int32_t ReadInteger(TStream& s) { return ReadLE<int32_t>(s); }
uint32_t ReadCardinal(TStream& s) { return ReadLE<uint32_t>(s); }

float ReadSingle(TStream& s)
{
    const uint32_t bits = ReadLE<uint32_t>(s);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

uint32_t ReadInteger24(TStream& s)
{
    uint8_t b[3];
    if (s.Read(b, 3) != 3) throw EReadError();
    return b[0] | (b[1] << 8) | (b[2] << 16);
}

void ReadBuffer(TStream& s, void* buffer, size_t count)
{
    if (count && s.Read(buffer, count) != count) throw EReadError();
}

std::string ReadZString(TStream& s)
{
    std::string text;
    size_t avail = 0;
    if (const uint8_t* view = s.View(avail)) {
        const void* zero = std::memchr(view, 0, avail);
        if (!zero) throw EReadError();
        const size_t len = static_cast<const uint8_t*>(zero) - view;
        text.assign(reinterpret_cast<const char*>(view), len);
        s.Seek(s.Position() + static_cast<int64_t>(len) + 1);
        return text;
    }
    for (;;) {
        const uint8_t c = ReadByte(s);
        if (c == 0) return text;
        text.push_back(static_cast<char>(c));
    }
}

std::string ReadFixedString(TStream& s, size_t width)
{
    const int64_t start = s.Position();
    std::string text;
    for (size_t i = 0; i < width; ++i) {
        const uint8_t c = ReadByte(s);
        if (c == 0) break;
        text.push_back(static_cast<char>(c));
    }
    if (!s.Seek(start + static_cast<int64_t>(width))) throw EReadError();
    return text;
}

void WriteByte(TStream& s, uint8_t value) { WriteLE(s, value); }
void WriteWord(TStream& s, uint16_t value) { WriteLE(s, value); }
void WriteInteger(TStream& s, int32_t value) { WriteLE(s, value); }
void WriteCardinal(TStream& s, uint32_t value) { WriteLE(s, value); }

void WriteSingle(TStream& s, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    WriteLE(s, bits);
}

void WriteBuffer(TStream& s, const void* buffer, size_t count)
{
    if (count && s.Write(buffer, count) != count) throw EWriteError();
}

void WriteZString(TStream& s, std::string_view text)
{
    WriteBuffer(s, text.data(), text.size());
    WriteByte(s, 0);
}

void WriteFixedString(TStream& s, std::string_view text, size_t width)
{
    if (width == 0) return;
    const size_t n = std::min(text.size(), width - 1);
    WriteBuffer(s, text.data(), n);
    static const uint8_t zeros[64] = {};
    size_t pad = width - n;
    while (pad) {
        const size_t chunk = std::min(pad, sizeof zeros);
        WriteBuffer(s, zeros, chunk);
        pad -= chunk;
    }
}

void WriteText(TStream& s, std::string_view text) { WriteBuffer(s, text.data(), text.size()); }

void WriteTextLine(TStream& s, std::string_view text)
{
    WriteText(s, text);
    WriteNewLine(s);
}

void WriteNewLine(TStream& s) { WriteBuffer(s, "\r\n", 2); }

void SkipBytes(TStream& s, uint64_t count)
{
    RequireRemaining(s, count);
    if (!s.Seek(s.Position() + static_cast<int64_t>(count))) throw EReadError();
}

void RequireRemaining(const TStream& s, uint64_t count)
{
    if (count > static_cast<uint64_t>(s.Remaining())) throw EReadError();
}

}  // namespace mc
