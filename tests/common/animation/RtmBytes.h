// RTM files written byte by byte, independent of the program's own writer.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace mc::test {

class TRtmBytes {
public:
    TRtmBytes& Raw(const std::string& text)
    {
        bytes.insert(bytes.end(), text.begin(), text.end());
        return *this;
    }
    TRtmBytes& Int(int32_t v)
    {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
        return *this;
    }
    TRtmBytes& Float(float f)
    {
        int32_t v;
        std::memcpy(&v, &f, 4);
        return Int(v);
    }
    // A 32-byte name field; junk fills the bytes after the terminating zero.
    TRtmBytes& Name(const std::string& name, uint8_t junk = 0)
    {
        std::vector<uint8_t> field(32, junk);
        std::memcpy(field.data(), name.data(), std::min<size_t>(name.size(), 32));
        if (name.size() < 32) field[name.size()] = 0;
        bytes.insert(bytes.end(), field.begin(), field.end());
        return *this;
    }
    TRtmBytes& Header(float mx, float my, float mz, int32_t frames, int32_t bones)
    {
        return Raw("RTM_").Raw("0101").Float(mx).Float(my).Float(mz).Int(frames).Int(bones);
    }
    // A bone record whose matrix is the identity with translation (tx, ty, tz).
    TRtmBytes& Bone(const std::string& name, float tx, float ty, float tz, uint8_t junk = 0)
    {
        Name(name, junk);
        const float rows[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, tx, ty, tz};
        for (float f : rows) Float(f);
        return *this;
    }

    std::vector<uint8_t> bytes;
};

}  // namespace mc::test
