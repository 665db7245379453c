// RTM animations from the command line, and posing a model with one.
#include <charconv>
#include <cstdio>

#include "Animation/Animation.h"
#include "CliCommon.h"
#include "Commands.h"
#include "Core/SafeSave.h"
#include "Core/Stream.h"
#include "Core/Strings.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/ObjExport.h"
#include "ModelJson.h"

namespace mc::cli {

namespace {

// The animation in a file, or nullptr with the reason on stderr.
std::unique_ptr<TAnimation> LoadAnimationOrReport(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        std::fprintf(stderr, "Cannot open \"%s\"\n", path.c_str());
        return nullptr;
    }
    auto animation = std::make_unique<TAnimation>();
    TMemoryReader in(bytes.data(), bytes.size());
    try {
        if (animation->LoadFromStream(in)) return animation;
        std::fprintf(stderr,
                     "Cannot load animation \"%s\": not an RTM_0101 file, a frame names an unknown bone, or bytes "
                     "follow the last frame\n",
                     path.c_str());
    } catch (const EFileError& e) {
        std::fprintf(stderr, "Cannot load animation \"%s\": %s\n", path.c_str(), e.what());
    }
    return nullptr;
}

int RunInfo(const TArgs& args)
{
    const std::string& path = args.Positional[0];
    auto a = LoadAnimationOrReport(path);
    if (!a) return ExitRefused;
    const Vector3 m = a->TotalMove;
    if (args.Has("--json")) {
        nlohmann::ordered_json j;
        j["file"] = ToUtf8(path);
        j["totalMove"] = {m.x, m.y, m.z};
        j["bones"] = nlohmann::ordered_json::array();
        for (const std::string& name : a->BoneNames()) j["bones"].push_back(ToUtf8(name));
        j["frames"] = nlohmann::ordered_json::array();
        for (int f = 0; f < a->FrameCount(); ++f) j["frames"].push_back({{"index", f}, {"time", a->Frame(f)->Time}});
        PrintJson(j);
        return ExitOk;
    }
    std::printf("File: %s\n", path.c_str());
    std::printf("Total move: %.6f %.6f %.6f\n", static_cast<double>(m.x), static_cast<double>(m.y),
                static_cast<double>(m.z));
    std::printf("Bones: %d\n", a->BoneCount());
    for (int b = 0; b < a->BoneCount(); ++b) std::printf("  %4d  %s\n", b, a->BoneName(b).c_str());
    std::printf("Frames: %d\n", a->FrameCount());
    for (int f = 0; f < a->FrameCount(); ++f) std::printf("  %4d  %s\n", f, a->FrameText(f).c_str());
    return ExitOk;
}

int RunCopy(const TArgs& args)
{
    auto a = LoadAnimationOrReport(args.Positional[0]);
    if (!a) return ExitRefused;
    const std::string& out = args.Positional[1];
    std::string error;
    if (!SaveFileSafely(
            out,
            [&](TStream& s) {
                a->SaveToStream(s);
                return true;
            },
            &error)) {
        std::fprintf(stderr, "Cannot save \"%s\": %s\n", out.c_str(), error.c_str());
        return ExitRefused;
    }
    return ExitOk;
}

int RunPose(const TArgs& args)
{
    const std::string frameText = args.Option("--frame");
    if (frameText.empty()) throw EUsage("give the frame with --frame N");
    int frame = -1;
    const auto [end, ec] = std::from_chars(frameText.data(), frameText.data() + frameText.size(), frame);
    if (ec != std::errc() || end != frameText.data() + frameText.size() || frame < 0)
        throw EUsage("--frame takes a frame index (0, 1, ...), not \"" + frameText + "\"");

    auto model = LoadModelOrReport(args.Positional[0]);
    if (!model) return ExitRefused;
    auto animation = LoadAnimationOrReport(args.Positional[1]);
    if (!animation) return ExitRefused;
    if (frame >= animation->FrameCount()) {
        std::fprintf(stderr, "Frame %d is not in \"%s\": it has %d frames\n", frame, args.Positional[1].c_str(),
                     animation->FrameCount());
        return ExitRefused;
    }
    animation->CurrentFrameIndex = frame;
    animation->ApplyTotalMove = !args.Has("--no-total-move");
    animation->ApplyToModel(model.get());

    const std::string& out = args.Positional[2];
    std::string error;
    if (!ExportObj(*model, out, &error)) {
        std::fprintf(stderr, "Cannot export \"%s\": %s\n", out.c_str(), error.c_str());
        return ExitRefused;
    }
    return ExitOk;
}

std::vector<TCommand> RtmCommands()
{
    return {
        {"rtm", "info", "FILE [--json]", "total move, bone names and frames with their times",
         TArgSpec{{"--json"}, {}, 1, 1}, RunInfo},
        {"rtm", "copy", "IN OUT", "read an animation and write it back", TArgSpec{{}, {}, 2, 2}, RunCopy},
        {"p3d", "pose", "MODEL ANIM.rtm --frame N OUT.obj [--no-total-move]",
         "pose the model with a frame of an animation and export it as OBJ",
         TArgSpec{{"--no-total-move"}, {"--frame"}, 3, 3}, RunPose},
    };
}

const TCommandRegistrar registrar(RtmCommands);

}  // namespace

}  // namespace mc::cli
