// The files of the demo add-on besides its models: a read-me page with a
// picture from the archive, a mission script, a string table and a sound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mc::demo {

// A delta-compressed WSS sound: a short two-tone chime, mono, 22050 Hz.
std::vector<uint8_t> MakeChimeWss();

// Writes readme.html, scripts\intro.sqs, stringtable.csv and
// sounds\chime.wss below folder. False with a reason when one fails.
bool WriteDemoDocuments(const std::filesystem::path& folder, std::string& error);

}  // namespace mc::demo
