// The information lines of the 3D preview and the keys that steer its camera.
#pragma once

#include <string>
#include <vector>

#include "Camera/CameraInput.h"
#include "Core/Vector3.h"

namespace mc {

// Heading of a direction in the x-z plane in degrees, from +Z towards +X, in
// [0, 360); 90 or 270 by the sign of x when z is (almost) 0.
float CameraHeadingDegrees(Vector3 direction);

struct TPreviewInfo {
    int FrameRate = 0;
    int SurfaceWidth = 0, SurfaceHeight = 0;
    bool Hardware = true;
    Vector3 CameraPosition, CameraDirection;
    int TexturesInCache = 0;
    int PolygonsDrawn = 0;
    bool HasModel = false;
    std::string ModelFileName;  // as the model holds it, with its folder
};

// "fps: %d", "surface: %dx%d", "3D device: ...", "camera position: ...",
// "camera direction: %.2f", "textures in cache: %d", "polygons per frame: %d"
// and, with a model, "model name: %s" (file name only, lower case).
std::vector<std::string> PreviewInfoLines(const TPreviewInfo& info);

// The banner line at the top of the surface.
extern const char* const kPreviewBanner;

// The physical keys of the camera's input states (Qt key codes).
struct TPreviewKey {
    int Key;
    const char* Name;  // as the tool tips and README list it
};
struct TPreviewKeyMap {
    std::vector<TPreviewKey> Forward, Backward, StrafeLeft, StrafeRight, Rise, Sink, SpeedUp, SpeedDown;
};
const TPreviewKeyMap& PreviewKeys();

// The input states for the keys held down (Qt key codes).
TCameraInput InputForKeys(const std::vector<int>& keysDown);

// The tool tip text that lists the keys and the mouse.
std::string PreviewKeysHelp();

}  // namespace mc
