// What one frame asks of a model's draw operation: which LOD, which optional
// face groups, the selection display, and where faces get their textures.
#pragma once

#include <cstdint>

#include "Core/Matrix4.h"

namespace mc {

class TTextureManager;

namespace DrawFlag {
constexpr uint32_t AutoLOD = 0x1;        // choose the LOD by the camera's distance
constexpr uint32_t GivenLOD = 0x2;       // draw the LOD at LODIndex
constexpr uint32_t Selection = 0x10;     // a face is selected: selection display
constexpr uint32_t Optional = 0x100;     // draw the faces of proxy selections
constexpr uint32_t Shining = 0x200;      // draw shining faces
constexpr uint32_t HideSorted = 0x400;   // hide faces whose texture has transparency
}  // namespace DrawFlag

// Factor of the automatic LOD choice: a LOD is fine enough while its
// resolution does not exceed distance x factor.
constexpr float kAutoLODFactor = 0.019f;

struct TDrawParameters {
    uint32_t Flags = 0;
    int32_t LODIndex = 0;
    float Distance = 0;
    TTextureManager* TextureCache = nullptr;  // none: faces draw untextured
    int32_t SelectedFace = -1;  // with Selection: the face selected in the main window, filled as well
    TMatrix4 World = TMatrix4::Identity();  // where the model stands (a spinning catalog picture)
};

}  // namespace mc
