// File > "Export glTF...": the current LOD of the document's model as binary
// glTF, with its textures from the program's game data.
#pragma once

#include <string>

class QWidget;

namespace mc {

class TMainForm;
class TModelDocument;

// Adds the menu entry below "Export..." of the main window.
void AddGltfExportCommand(TMainForm& main, TModelDocument& document);

// Writes the current LOD to path with the busy cursor; an error box when the
// file cannot be written, a log line per texture that did not load, then
// "Export process done". False when nothing was written.
bool ExportCurrentLODAsGltf(TModelDocument& document, const std::string& path);

}  // namespace mc
