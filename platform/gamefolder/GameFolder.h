// Where the game is installed.
//
// On Windows the folder is the value "MAIN" of the registry key
// HKEY_LOCAL_MACHINE\Software\Codemasters\Operation Flashpoint. Elsewhere the
// variable MESHCRAFT_GAME_DIR names it; without it the same key is read from
// the registry file of the Wine prefix ($WINEPREFIX, default ~/.wine), and
// its Windows path is turned into a path of this machine.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mc {

// The game folder as stored; empty when the game is not installed.
std::string GetGameFolder();

// The key of the game below HKEY_LOCAL_MACHINE.
inline constexpr const char* kGameRegistryKey = "Software\\Codemasters\\Operation Flashpoint";
inline constexpr const char* kGameRegistryValue = "MAIN";

// The string value valueName of key in the text of a Wine registry file
// (system.reg: "[Software\\Codemasters\\...] stamp" sections of
// "name"="value" lines). Key and value names are compared ignoring case;
// a 32-bit program's key below Software\Wow6432Node is found as well. Empty
// when absent or not a string.
std::string ReadWineRegistryString(std::string_view regText, std::string_view key, std::string_view valueName);

// A Windows path such as C:\Games\OFP as a path inside a Wine prefix:
// drive C is <prefix>/drive_c, other drives go through <prefix>/dosdevices.
// Paths without a drive letter are returned with forward slashes.
std::filesystem::path WinePathToNative(std::string_view windowsPath, const std::filesystem::path& prefix);

}  // namespace mc
