// Diagnostic reports on a model, each recomputing stored values so that
// stored and recomputed ones can be compared line by line: "mass.txt",
// "normals.txt" and "uv.txt".
#pragma once

#include <string>

namespace mc {

class TModel;
class TStream;

enum class TModelCheck { Mass, Normals, UV };

// "mass.txt", "normals.txt", "uv.txt".
const char* ModelCheckFileName(TModelCheck check);

// Mass of the Geometry LOD's points, stored and recomputed centres and
// ranges. False, writing nothing, when the model has no Geometry LOD with
// masses and vertices.
bool WriteMassReport(const TModel& model, TStream& s);
// Per face its normal against its vertices' normals, then the points of
// flat-shaded corners.
void WriteNormalsReport(const TModel& model, TStream& s);
// Per texture the range class of the texture coordinates of the last vertex
// that uses it: below 0, 0, 1 or above 1, for u (low bits) and v (0x1000 on).
void WriteUVReport(const TModel& model, TStream& s);

enum class TCheckResult { Written, NothingToCheck, Failed };

// Writes the report file into folder, replacing one of that name.
TCheckResult WriteModelCheck(const TModel& model, TModelCheck check, const std::string& folder,
                             std::string* error = nullptr);

// The menu command: the report into the current folder, then the box "Ok",
// or "Error" when the file could not be written. Nothing at all when there is
// nothing to check.
void RunModelCheck(const TModel& model, TModelCheck check);

}  // namespace mc
