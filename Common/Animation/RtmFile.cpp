// The RTM_0101 file: "RTM_", "0101", the total move, the frame and bone
// counts, the bone names in 32-byte fields, then per frame its time and one
// record per bone (name, then rows 1 to 4 of the matrix, three floats each).
#include <algorithm>
#include <bit>
#include <cstring>
#include <unordered_map>

#include "Animation/Animation.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"

namespace mc {

namespace {

constexpr uint32_t kRtmMagic = 0x5F4D5452;    // "RTM_"
constexpr uint32_t kRtmVersion = 0x31303130;  // "0101"

float FloatAt(const uint8_t* p)
{
    float f;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&f, p, 4);
        return f;
    }
    const uint32_t bits = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                          static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    std::memcpy(&f, &bits, 4);
    return f;
}

void PutFloat(uint8_t* p, float f)
{
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, &f, 4);
        return;
    }
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(bits >> (8 * i));
}

// The text of a zero-terminated 32-byte name field.
std::string_view NameAt(const uint8_t* p)
{
    const void* zero = std::memchr(p, 0, kRtmNameSize);
    const size_t length = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - p) : kRtmNameSize;
    return {reinterpret_cast<const char*>(p), length};
}

// Finds the bone a frame's record names. Records normally come in bone
// order, so the bone at the record's own position is taken when its name
// matches; otherwise the first bone of that name. Bones of equal names (the
// case aside) thus keep their own matrices through a load and a save.
class TBoneLookup {
public:
    explicit TBoneLookup(const std::vector<std::string>& names)
    {
        lower_.reserve(names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            lower_.push_back(LowerCase(names[i]));
            first_.emplace(lower_.back(), static_cast<int>(i));
        }
    }

    // -1 when no bone has the name.
    int Find(std::string_view name, size_t expected)
    {
        key_.assign(name);
        for (char& c : key_)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (expected < lower_.size() && lower_[expected] == key_) return static_cast<int>(expected);
        const auto it = first_.find(key_);
        return it == first_.end() ? -1 : it->second;
    }

private:
    std::vector<std::string> lower_;
    std::unordered_map<std::string, int> first_;  // emplace keeps the first of equal names
    std::string key_;
};

}  // namespace

bool TAnimation::LoadFromStream(TStream& s)
{
    frames_.clear();
    boneNames_.clear();
    CurrentFrameIndex = -1;

    if (ReadCardinal(s) != kRtmMagic) return false;
    if (ReadCardinal(s) != kRtmVersion) return false;
    TotalMove.x = ReadSingle(s);
    TotalMove.y = ReadSingle(s);
    TotalMove.z = ReadSingle(s);
    const int32_t frameCount = ReadInteger(s);
    const int32_t boneCount = ReadInteger(s);
    if (frameCount < 0 || boneCount < 0) return false;

    // Counts that the remaining bytes cannot hold read as a truncated file,
    // before anything is allocated for them.
    const uint64_t bones = static_cast<uint64_t>(boneCount);
    const uint64_t frameSize = 4 + bones * kRtmBoneRecordSize;
    RequireRemaining(s, bones * kRtmNameSize);
    if (static_cast<uint64_t>(frameCount) > (static_cast<uint64_t>(s.Remaining()) - bones * kRtmNameSize) / frameSize)
        throw EReadError();

    std::vector<uint8_t> buffer(std::max<size_t>(static_cast<size_t>(bones * kRtmNameSize), frameSize));
    ReadBuffer(s, buffer.data(), static_cast<size_t>(bones * kRtmNameSize));
    boneNames_.reserve(static_cast<size_t>(bones));
    for (uint64_t b = 0; b < bones; ++b) boneNames_.emplace_back(NameAt(buffer.data() + b * kRtmNameSize));

    TBoneLookup lookup(boneNames_);
    frames_.reserve(static_cast<size_t>(frameCount));
    for (int32_t f = 0; f < frameCount; ++f) {
        auto frame = std::make_unique<TAnimFrame>(this, boneCount);
        ReadBuffer(s, buffer.data(), static_cast<size_t>(frameSize));
        frame->Time = FloatAt(buffer.data());
        const uint8_t* record = buffer.data() + 4;
        for (uint64_t r = 0; r < bones; ++r, record += kRtmBoneRecordSize) {
            const int bone = lookup.Find(NameAt(record), static_cast<size_t>(r));
            if (bone < 0) return false;
            TMatrix4& m = frame->Matrices[static_cast<size_t>(bone)];
            const uint8_t* values = record + kRtmNameSize;
            for (int row = 0; row < 4; ++row)
                for (int col = 0; col < 3; ++col) m.m[row][col] = FloatAt(values + 4 * (row * 3 + col));
        }
        AppendFrame(std::move(frame));
    }

    if (s.Position() != s.Size()) return false;
    Modified = false;
    return true;
}

void TAnimation::SaveToStream(TStream& s) const
{
    WriteCardinal(s, kRtmMagic);
    WriteCardinal(s, kRtmVersion);
    WriteSingle(s, TotalMove.x);
    WriteSingle(s, TotalMove.y);
    WriteSingle(s, TotalMove.z);
    WriteInteger(s, FrameCount());
    WriteInteger(s, BoneCount());
    for (const std::string& name : boneNames_) WriteString32(s, name);

    // The names stay in place from frame to frame; only the numbers change.
    const size_t bones = boneNames_.size();
    std::vector<uint8_t> record(4 + bones * kRtmBoneRecordSize, 0);
    for (size_t b = 0; b < bones; ++b) {
        const std::string& name = boneNames_[b];
        std::memcpy(record.data() + 4 + b * kRtmBoneRecordSize, name.data(), std::min(name.size(), kRtmNameSize - 1));
    }
    const TMatrix4 identity = TMatrix4::Identity();
    for (const auto& entry : frames_) {
        const TAnimFrame& frame = *entry.Frame;
        PutFloat(record.data(), frame.Time);
        uint8_t* values = record.data() + 4 + kRtmNameSize;
        for (size_t b = 0; b < bones; ++b, values += kRtmBoneRecordSize) {
            const TMatrix4& m = b < frame.Matrices.size() ? frame.Matrices[b] : identity;
            for (int row = 0; row < 4; ++row)
                for (int col = 0; col < 3; ++col) PutFloat(values + 4 * (row * 3 + col), m.m[row][col]);
        }
        WriteBuffer(s, record.data(), record.size());
    }
}

}  // namespace mc
