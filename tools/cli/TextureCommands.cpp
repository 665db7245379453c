// texture info / png: textures and JPEG pictures from disk or, with
// --archives, by game path from the archives of a folder.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Archive/PbList.h"
#include "Core/LoadResult.h"
#include "Game/GameData.h"
#include "CliCommon.h"
#include "Commands.h"
#include "Core/FilePaths.h"
#include "Core/Stream.h"
#include "Core/Strings.h"
#include "ModelJson.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureLoader.h"
#include "Texture/TextureRgba.h"
#include "Texture/TextureTypes.h"
#include "image/PngWriter.h"
#include "jpeg/ProgramJpegDecoder.h"

namespace mc::cli {

namespace {

namespace fs = std::filesystem;

// The texture FILE names, on disk or (with --archives) as a game path. The
// loader logs why a texture is refused; this adds which one.
std::unique_ptr<TTexture> LoadOrReport(const TArgs& args, uint32_t options)
{
    InstallProgramJpegDecoder();
    const std::string& name = args.Positional[0];
    std::unique_ptr<TStream> stream;
    if (args.Options.count("--archives")) {
        const auto game = GameDataFromArgs(args);
        if (!game) return nullptr;
        const TPbList& list = game->PbList;
        std::string gamePath = name;
        std::replace(gamePath.begin(), gamePath.end(), '/', '\\');
        if (!IsTextureFileName(gamePath)) {
            std::fprintf(stderr, "\"%s\" is not a texture name (.paa, .pac, .jpg, .jpeg)\n", name.c_str());
            return nullptr;
        }
        if (!list.HasArchiveFor(gamePath)) {
            std::fprintf(stderr, "No open archive holds \"%s\"\n", name.c_str());
            return nullptr;
        }
        stream = list.Extract(gamePath);
        if (!stream) {
            std::fprintf(stderr, "Cannot load texture \"%s\": the entry does not extract\n", name.c_str());
            return nullptr;
        }
    } else {
        const std::string refusal = FileRefusal(name);
        std::vector<uint8_t> bytes;
        if (!refusal.empty() || !ReadWholeFile(name, bytes)) {
            std::fprintf(stderr, "Cannot open texture: %s\n",
                         (refusal.empty() ? "\"" + name + "\" cannot be read" : refusal).c_str());
            return nullptr;
        }
        stream = std::make_unique<TMemoryStream>(std::move(bytes));
    }
    auto texture = std::make_unique<TTexture>();
    if (texture->Load(*stream, options)) return texture;
    // A refusal with a reason was logged already: one line per problem.
    if (texture->RefusalReason.empty())
        std::fprintf(stderr, "Cannot load texture \"%s\": damaged or unreadable texture data\n", name.c_str());
    return nullptr;
}

std::string Hex32(uint32_t v) { return Format("0x%08X", v); }

int RunInfo(const TArgs& args)
{
    auto t = LoadOrReport(args, TextureLoad::Display);
    if (!t) return ExitRefused;
    const std::string typeName = TextureTypeName(t->TextureType);
    if (args.Has("--json")) {
        nlohmann::ordered_json j;
        j["file"] = ToUtf8(args.Positional[0]);
        j["type"] = typeName;
        j["typeCode"] = Format("0x%04X", unsigned(t->TextureType));
        j["averageColor"] = Hex32(t->AverageColor);
        j["flags"] = Hex32(t->TagFlags);
        j["paletteCount"] = t->PaletteCount;
        nlohmann::ordered_json levels = nlohmann::ordered_json::array();
        for (int i = 0; i < t->LevelCount(); ++i)
            levels.push_back({{"width", t->LevelWidth(i)}, {"height", t->LevelHeight(i)}});
        j["levels"] = std::move(levels);
        PrintJson(j);
        return ExitOk;
    }
    std::printf("File: %s\n", args.Positional[0].c_str());
    std::printf("Type: %s (0x%04X)\n", typeName.c_str(), unsigned(t->TextureType));
    std::printf("Average colour: %s\n", Hex32(t->AverageColor).c_str());
    std::printf("Flags: %s\n", Hex32(t->TagFlags).c_str());
    std::printf("Palette: %d colours\n", t->PaletteCount);
    std::printf("Levels: %d\n", t->LevelCount());
    for (int i = 0; i < t->LevelCount(); ++i) std::printf("  %2d  %d x %d\n", i, t->LevelWidth(i), t->LevelHeight(i));
    return ExitOk;
}

int RunPng(const TArgs& args)
{
    int level = 0;
    const std::string levelText = args.Option("--level", "0");
    try {
        size_t used = 0;
        level = std::stoi(levelText, &used);
        if (used != levelText.size() || level < 0) throw std::invalid_argument("level");
    } catch (const std::exception&) {
        throw EUsage("--level takes a level number, 0 for the largest");
    }
    const bool alpha = args.Has("--alpha"), rgb = args.Has("--rgb");
    if (alpha && rgb) throw EUsage("give either --alpha or --rgb");
    // The alpha picture is the one the windows show; colours are decoded
    // exactly from the stored pixels.
    auto t = LoadOrReport(args, alpha ? TextureLoad::Display : TextureLoad::AsStored);
    if (!t) return ExitRefused;
    if (level >= t->LevelCount())
        throw EUsage(Format("the texture has %d levels: --level takes 0 to %d", t->LevelCount(), t->LevelCount() - 1));
    const TMipMap& m = *t->Level(level);
    const std::string& out = args.Positional[1];
    std::string error;
    bool saved = false;
    if (alpha) {
        if (!m.AlphaImage || m.AlphaImage->Empty()) {
            std::fprintf(stderr, "Level %d of \"%s\" has no picture\n", level, args.Positional[0].c_str());
            return ExitRefused;
        }
        saved = SavePng(out, *m.AlphaImage, TPngChannels::Grey, &error);
    } else {
        TRgbaImage image;
        if (!DecodeLevelToRgba(*t, m, image)) {
            std::fprintf(stderr, "Level %d of \"%s\" has no picture\n", level, args.Positional[0].c_str());
            return ExitRefused;
        }
        saved = SavePng(out, image, !rgb, &error);
    }
    if (!saved) {
        std::fprintf(stderr, "Cannot save \"%s\": %s\n", out.c_str(), error.c_str());
        return ExitRefused;
    }
    return ExitOk;
}

std::vector<TCommand> TextureCommands()
{
    return {
        {"texture", "info", "FILE [--archives DIR] [--json]",
         "type, average colour, flags, palette and level sizes of a .paa/.pac texture or a JPEG picture "
         "(with --archives, FILE is a game path inside the archives of DIR)",
         TArgSpec{{"--json"}, {"--archives"}, 1, 1}, RunInfo},
        {"texture", "png", "FILE OUT.png [--level N] [--rgb | --alpha] [--archives DIR]",
         "write one level as an RGBA PNG decoded exactly from the stored pixels (with --rgb without its alpha, "
         "with --alpha the grey alpha picture the program shows)",
         TArgSpec{{"--alpha", "--rgb"}, {"--level", "--archives"}, 2, 2}, RunPng},
    };
}

const TCommandRegistrar registrar(TextureCommands);

}  // namespace

}  // namespace mc::cli
