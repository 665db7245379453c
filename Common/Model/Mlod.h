// The editable model form "MLOD" (version 257) with its "SP3X" LODs.
#pragma once

#include <cstdint>
#include <string_view>

#include "Core/Vector3.h"
#include <utility>
#include <vector>

namespace mc {

class TModel;
class TLOD;
class TStream;
class ITextureHeaderSource;
struct TTextureFlagCache;

constexpr uint32_t kMlodVersion = 257;
constexpr uint32_t kSignatureSP3X = 0x58335053;  // "SP3X"
constexpr uint32_t kSignatureTAGG = 0x47474154;  // "TAGG"
constexpr uint32_t kSignatureP3DM = 0x4D443350;  // "P3DM": LODs of a later game's editable models
constexpr uint32_t kSp3xMajorVersion = 28;
constexpr uint32_t kSp3xMinorVersion = 153;

// Reads everything after the signature and version: the LODs, each converted
// to the held form as it is read, the optional trailer, then completes the
// model. False (with a log line where there is more to say than "corrupted")
// when a LOD is refused; a short read raises EReadError. The body looks each
// texture header up once in headers (none: no transparency flags) for all
// its LODs: textureFlags, when given to a LOD, keeps the flags looked up for
// one LOD for the LODs read after it. A LOD of a later game's form raises
// EUnsupportedFormat.
bool ReadMlodBody(TModel& model, TStream& s, ITextureHeaderSource* headers = nullptr);
bool ReadMlodLOD(TLOD& lod, TStream& s, TTextureFlagCache* textureFlags = nullptr);

// Writes the whole file from the held form under the model's SaveFlags, the
// LODs in ascending resolution. False when a LOD holds data that cannot be
// written (the stream is then incomplete); a failed write raises EWriteError.
bool SaveMlod(const TModel& model, TStream& s);
bool WriteMlodLOD(const TLOD& lod, TStream& s);

// The LODs in the order the MLOD writer puts them: ascending resolution,
// equal resolutions in model order.
std::vector<const TLOD*> MlodLODOrder(const TModel& model);

// The edges between flat-shaded corners, as the "#SharpEdges#" tag stores
// them: pairs of point indices (vertex indices when grouped is false), in
// ascending order of first * 65536 + second, each edge once.
std::vector<std::pair<uint32_t, uint32_t>> ComputeSharpEdges(const TLOD& lod, bool grouped);

// A held normal this close to its face's normal in every component belongs to
// a flat-shaded corner: such corners make the sharp edges of the editable
// form, and the normals report lists them.
inline bool IsFlatCornerNormal(Vector3 held, Vector3 face)
{
    constexpr float kTolerance = 0.03f;
    return std::fabs(held.x - face.x) <= kTolerance && std::fabs(held.y - face.y) <= kTolerance &&
           std::fabs(held.z - face.z) <= kTolerance;
}

// Tag names stand between two "#" ("#Mass#", and those later tools add); a
// named selection may not look like one.
inline bool IsTagName(std::string_view name) { return name.size() >= 2 && name.front() == '#' && name.back() == '#'; }

}  // namespace mc
