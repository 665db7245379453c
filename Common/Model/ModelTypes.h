// Records shared by the model classes.
#pragma once

#include <array>
#include <cstdint>

#include "Core/Vector3.h"

namespace mc {

struct TUV {
    float u = 0, v = 0;
    friend bool operator==(const TUV&, const TUV&) = default;
};

static_assert(sizeof(TUV) == 8, "stored as two packed floats");

constexpr uint16_t kNoTexture = 0xFFFF;

// One polygon of the held form: a triangle or a quad, wound in reverse to
// the editable form.
struct TFace {
    uint32_t Flags = 0;
    uint16_t Texture = kNoTexture;
    uint8_t Count = 3;
    std::array<uint16_t, 4> Vertices{};
    friend bool operator==(const TFace&, const TFace&) = default;
};

// Face flag bits of the held form.
namespace FaceFlags {
constexpr uint32_t AlphaOther = 0x00000100;    // transparent texture, not ARGB1555/DXT1
constexpr uint32_t AlphaCompact = 0x00000200;  // transparent ARGB1555 or DXT1 texture
constexpr uint32_t Always = 0x0000C000;        // set on every converted face
constexpr uint32_t Shining = 0x00010000;
constexpr uint32_t Transparent = 0x00020000;
constexpr uint32_t Proxy = 0x30000000;
}  // namespace FaceFlags

// Flags of the editable form (MLOD files only).
constexpr uint32_t kPointFlagShining = 0x10;
constexpr uint32_t kFaceFlagShadow = 0x10;

// Converter options stored in a model before it is written.
namespace SaveFlags {
constexpr uint32_t Animation = 0x01;
constexpr uint32_t GroupedVertices = 0x02;
constexpr uint32_t SharpEdges = 0x04;
constexpr uint32_t CorrectShining = 0x08;
constexpr uint32_t CorrectShadow = 0x10;
}  // namespace SaveFlags

}  // namespace mc
