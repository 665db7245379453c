// The decisions of one model draw that need no device: which LOD, which faces,
// and the sampler and blending state a face's flag word asks for.
#pragma once

#include <cstdint>

#include "DrawParameters.h"

namespace mc {

class TModel;

// Index of the LOD the parameters choose, or -1 for none: AutoLOD walks the
// LODs in order, stops before the first special one, and takes LODs until
// one's resolution exceeds distance x factor; GivenLOD takes LODIndex (-1 when
// out of range); neither takes LOD 0.
int ChooseLOD(const TModel& model, const TDrawParameters& params);

// Whether a face with these flags is drawn under the draw flags.
bool FaceDrawn(uint32_t faceFlags, uint32_t drawFlags);

enum class TAddress : uint8_t { Wrap, Clamp };

// Texture addressing, alpha test and blending of a face's flag word.
struct TFaceState {
    TAddress U = TAddress::Wrap, V = TAddress::Wrap;
    bool Blend = false;
    bool AlphaTest = false;
    uint8_t AlphaReference = 0;  // the test passes for alpha (0..255) greater than this
    friend bool operator==(const TFaceState&, const TFaceState&) = default;
};

TFaceState FaceStateFor(uint32_t faceFlags);

// The bits of a face's flag word that the two decisions above read: faces
// whose words differ only elsewhere (lighting and shadow hints, user bits)
// draw in the same state and may share a draw call.
inline constexpr uint32_t kDrawStateFlags = 0x00000100u | 0x00000200u | 0x00004000u | 0x00008000u |
                                            0x00010000u | 0x00020000u | 0x30000000u;

}  // namespace mc
