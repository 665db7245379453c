// The game-ready model form "ODOL" (version 7).
#pragma once

#include <cstdint>

namespace mc {

class TModel;
class TLOD;
class TStream;

constexpr uint32_t kOdolVersion = 7;

// Reads everything after the signature and version. False when the data is
// inconsistent; a short read raises EReadError.
bool ReadOdolBody(TModel& model, TStream& s);
bool ReadOdolLOD(TLOD& lod, TStream& s);

// Writes the whole file. False when a LOD cannot be written (the stream is
// then incomplete); a failed write raises EWriteError.
bool SaveOdol(const TModel& model, TStream& s);
bool WriteOdolLOD(const TLOD& lod, TStream& s);

}  // namespace mc
