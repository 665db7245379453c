#include "DemoDocuments.h"

#include <cmath>
#include <cstdlib>
#include <system_error>

#include "Core/FilePaths.h"
#include "Core/SafeSave.h"
#include "Core/Stream.h"
#include "Sound/WssToWave.h"

namespace mc::demo {

namespace fs = std::filesystem;

namespace {

bool Write(const fs::path& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    return SaveFileSafely(
        PathToUtf8(path), [&](TStream& s) { return s.Write(bytes.data(), bytes.size()) == bytes.size(); }, &error);
}

bool WriteText(const fs::path& path, const std::string& text, std::string& error)
{
    return Write(path, std::vector<uint8_t>(text.begin(), text.end()), error);
}

void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

const char* const kReadme = R"(<html>
<head><title>Demo add-on</title></head>
<body>
<h1>Demo add-on</h1>
<p><img src="barrel_co.paa" width="64" height="64" align="right">
This add-on belongs to the demo game made by <b>meshcraft-make-demo-game</b>.
It holds a barrel, a two-bone arm with its animation, a mission script,
a string table and a short sound.</p>
<ul>
<li><i>barrel.p3d</i> &ndash; a barrel with three levels of detail</li>
<li><i>arm.p3d</i> and <i>anims\arm.rtm</i> &ndash; a bending arm</li>
<li><i>sounds\chime.wss</i> &ndash; a two-tone chime</li>
</ul>
<p>More about the game's file formats: <a href="https://community.bistudio.com/wiki/Operation_Flashpoint">the community wiki</a>.</p>
</body>
</html>
)";

const char* const kScript =
    "; Intro of the demo mission\r\n"
    "_crate = \"DemoCrate\" createVehicle getPos player\r\n"
    "titleText [localize \"STR_DEMO_WELCOME\", \"PLAIN DOWN\"]\r\n"
    "~2\r\n"
    "playSound \"chime\"\r\n"
    "exit\r\n";

const char* const kStringTable =
    "LANGUAGE,English,French,German\r\n"
    "STR_DEMO_WELCOME,\"Welcome to the demo\",\"Bienvenue\",\"Willkommen\"\r\n"
    "STR_DEMO_BARREL,\"Barrel\",\"Tonneau\",\"Fass\"\r\n"
    "STR_DEMO_NOTE,\"Only English here\"\r\n";

}  // namespace

std::vector<uint8_t> MakeChimeWss()
{
    constexpr uint32_t rate = 22050;
    constexpr int count = rate * 6 / 10;
    std::vector<uint8_t> out;
    Put32(out, kWssMagic);
    Put32(out, kWssDelta);
    Put16(out, 1);            // PCM
    Put16(out, 1);            // mono
    Put32(out, rate);
    Put32(out, rate * 2);     // bytes per second of the 16-bit output
    Put16(out, 2);            // block align
    Put16(out, 16);           // bits per sample
    Put16(out, 0);            // extra size
    // Each byte is the step that brings the running value nearest the wave.
    int32_t value = 0;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double tone = i < count / 2 ? 880.0 : 660.0;
        const double envelope = std::exp(-4.0 * std::fmod(t, 0.3));
        const auto target = static_cast<int32_t>(9000.0 * envelope * std::sin(2 * 3.14159265358979 * tone * t));
        int best = 0;
        int32_t bestError = std::abs(target - value);
        for (int b = -127; b <= 127; ++b) {
            const int32_t error = std::abs(target - (value + WssDeltaStep(static_cast<int8_t>(b))));
            if (error < bestError) {
                bestError = error;
                best = b;
            }
        }
        value += WssDeltaStep(static_cast<int8_t>(best));
        out.push_back(static_cast<uint8_t>(static_cast<int8_t>(best)));
    }
    return out;
}

bool WriteDemoDocuments(const fs::path& folder, std::string& error)
{
    return WriteText(folder / "readme.html", kReadme, error) &&
           WriteText(folder / "scripts" / "intro.sqs", kScript, error) &&
           WriteText(folder / "stringtable.csv", kStringTable, error) &&
           Write(folder / "sounds" / "chime.wss", MakeChimeWss(), error);
}

}  // namespace mc::demo
