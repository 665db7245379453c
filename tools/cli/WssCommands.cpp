// wss wav: a game sound as a RIFF WAVE file.
#include <cstdio>

#include "Commands.h"
#include "Core/SafeSave.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "Sound/WssToWave.h"

namespace mc::cli {

namespace {

int RunWav(const TArgs& args)
{
    const std::string& in = args.Positional[0];
    const std::string& out = args.Positional[1];
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(in, bytes)) {
        std::fprintf(stderr, "Cannot open \"%s\"\n", in.c_str());
        return ExitRefused;
    }
    TMemoryReader reader(bytes.data(), bytes.size());
    std::string reason;
    const auto wave = WssToWave(reader, &reason);
    if (!wave) {
        std::fprintf(stderr, "Cannot convert \"%s\": %s\n", in.c_str(), reason.c_str());
        return ExitRefused;
    }
    std::string error;
    const bool saved = SaveFileSafely(
        out,
        [&](TStream& s) {
            WriteBuffer(s, wave->Bytes().data(), wave->Bytes().size());
            return true;
        },
        &error);
    if (!saved) {
        std::fprintf(stderr, "Cannot save \"%s\": %s\n", out.c_str(), error.c_str());
        return ExitRefused;
    }
    return ExitOk;
}

std::vector<TCommand> WssCommands()
{
    return {
        {"wss", "wav", "IN.wss OUT.wav", "convert a game sound (PCM or delta-compressed) to RIFF WAVE",
         TArgSpec{{}, {}, 2, 2}, RunWav},
    };
}

const TCommandRegistrar registrar(WssCommands);

}  // namespace

}  // namespace mc::cli
