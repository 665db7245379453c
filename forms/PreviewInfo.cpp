#include "PreviewInfo.h"

#include <QtCore/Qt>
#include <algorithm>
#include <cmath>

#include "Core/Strings.h"

namespace mc {

const char* const kPreviewBanner = "Meshcraft 3D preview";

float CameraHeadingDegrees(Vector3 d)
{
    constexpr double kDegrees = 180.0 / 3.14159265358979323846;
    if (std::fabs(d.z) <= 0.000001f) return d.x < 0 ? 270.0f : 90.0f;
    double a = std::atan(double(d.x) / double(d.z)) * kDegrees;
    if (d.z < 0)
        a += 180.0;
    else if (d.x < 0)
        a += 360.0;
    return float(a);
}

std::vector<std::string> PreviewInfoLines(const TPreviewInfo& info)
{
    std::vector<std::string> lines{
        Format("fps: %d", info.FrameRate),
        Format("surface: %dx%d", info.SurfaceWidth, info.SurfaceHeight),
        info.Hardware ? "3D device: hardware" : "3D device: software",
        Format("camera position: %.2f %.2f %.2f", double(info.CameraPosition.x), double(info.CameraPosition.y),
               double(info.CameraPosition.z)),
        Format("camera direction: %.2f", double(CameraHeadingDegrees(info.CameraDirection))),
        Format("textures in cache: %d", info.TexturesInCache),
        Format("polygons per frame: %d", info.PolygonsDrawn),
    };
    if (info.HasModel) {
        const std::string& path = info.ModelFileName;
        const size_t slash = path.find_last_of("\\/");
        lines.push_back("model name: " + LowerCase(slash == std::string::npos ? path : path.substr(slash + 1)));
    }
    return lines;
}

const TPreviewKeyMap& PreviewKeys()
{
    static const TPreviewKeyMap keys{
        {{Qt::Key_W, "W"}, {Qt::Key_Up, "Up"}},
        {{Qt::Key_S, "S"}, {Qt::Key_Down, "Down"}},
        {{Qt::Key_A, "A"}, {Qt::Key_Left, "Left"}},
        {{Qt::Key_D, "D"}, {Qt::Key_Right, "Right"}},
        {{Qt::Key_E, "E"}, {Qt::Key_PageUp, "Page Up"}},
        {{Qt::Key_Q, "Q"}, {Qt::Key_PageDown, "Page Down"}},
        {{Qt::Key_Plus, "+"}, {Qt::Key_Equal, "="}},
        {{Qt::Key_Minus, "-"}},
    };
    return keys;
}

TCameraInput InputForKeys(const std::vector<int>& keysDown)
{
    auto held = [&](const std::vector<TPreviewKey>& keys) {
        return std::any_of(keys.begin(), keys.end(), [&](const TPreviewKey& k) {
            return std::find(keysDown.begin(), keysDown.end(), k.Key) != keysDown.end();
        });
    };
    const TPreviewKeyMap& k = PreviewKeys();
    TCameraInput input;
    input.Forward = held(k.Forward);
    input.Backward = held(k.Backward);
    input.StrafeLeft = held(k.StrafeLeft);
    input.StrafeRight = held(k.StrafeRight);
    input.Rise = held(k.Rise);
    input.Sink = held(k.Sink);
    input.SpeedUp = held(k.SpeedUp);
    input.SpeedDown = held(k.SpeedDown);
    return input;
}

std::string PreviewKeysHelp()
{
    auto names = [](const std::vector<TPreviewKey>& keys) {
        std::string text;
        for (const TPreviewKey& k : keys) text += (text.empty() ? "" : " or ") + std::string(k.Name);
        return text;
    };
    const TPreviewKeyMap& k = PreviewKeys();
    return "Forward: " + names(k.Forward) + " or the left mouse button\n" + "Backward: " + names(k.Backward) +
           "\n" + "Strafe left: " + names(k.StrafeLeft) + "\n" + "Strafe right: " + names(k.StrafeRight) + "\n" +
           "Rise: " + names(k.Rise) + "\n" + "Sink: " + names(k.Sink) + "\n" + "Faster: " + names(k.SpeedUp) +
           "\n" + "Slower: " + names(k.SpeedDown) + "\n" +
           "Look around: move the mouse with a button held\n" + "Escape: leave full screen, back to the main window";
}

}  // namespace mc
