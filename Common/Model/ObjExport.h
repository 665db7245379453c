// Wavefront OBJ text of a model, one file per LOD: tank.obj gives tank.0.obj,
// tank.1.obj, ... Positions are written with y and z swapped; with grouped
// vertices (SaveFlags 0x02) the "v" lines list points, the "vn" and "vt"
// lines vertices.
#pragma once

#include <string>

#include "Core/ProjectInfo.h"  // ProgramTitle and ProjectSiteAddress name the program in every file

namespace mc {

class TModel;
class TLOD;
class TStream;

// The file of LOD index for the chosen name: "%s.%d%s" of the name without
// its extension, the index and the extension (".obj" when it has none).
std::string ObjLODFileName(const std::string& path, int lodIndex);

// One whole file: the header lines naming the model and the LOD, then the body.
void WriteObjFile(const TModel& model, int lodIndex, TStream& s);
// The body: vertices, normals, texture coordinates, faces, the texture list,
// the named selections as groups and the named properties.
void WriteObjLOD(const TLOD& lod, TStream& s);

// Writes every LOD to its own file, each through a temporary file beside it.
// A file that cannot be written does not stop the others; false with the
// reasons ("Cannot create file "name"", one per line) in error then.
bool ExportObj(const TModel& model, const std::string& path, std::string* error = nullptr);

// The menu command: ExportObj with an error box per file that could not be
// created, then "Export process done".
void RunObjExport(const TModel& model, const std::string& path);

}  // namespace mc
