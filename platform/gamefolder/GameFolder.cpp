#include "gamefolder/GameFolder.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include "Core/FilePaths.h"
#include "Core/Strings.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace mc {

namespace fs = std::filesystem;

namespace {

void AppendUtf8(std::string& out, unsigned code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Reads a quoted, escaped text starting at text[pos] == '"'. Leaves pos after
// the closing quote. False when the text ends first.
bool ReadQuoted(std::string_view text, size_t& pos, std::string& out)
{
    if (pos >= text.size() || text[pos] != '"') return false;
    ++pos;
    out.clear();
    while (pos < text.size()) {
        const char c = text[pos++];
        if (c == '"') return true;
        if (c != '\\') {
            out += c;
            continue;
        }
        if (pos >= text.size()) return false;
        const char e = text[pos++];
        switch (e) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '0': out += '\0'; break;
        case 'x': {
            unsigned code = 0;
            int digits = 0;
            while (pos < text.size() && digits < 4 && std::isxdigit(static_cast<unsigned char>(text[pos]))) {
                const char h = static_cast<char>(std::tolower(static_cast<unsigned char>(text[pos++])));
                code = code * 16 + static_cast<unsigned>(h <= '9' ? h - '0' : h - 'a' + 10);
                ++digits;
            }
            AppendUtf8(out, code);
            break;
        }
        default: out += e; break;  // \\ and \" and anything else stand for themselves
        }
    }
    return false;
}

// The key of a section line "[a\\b\\c] 12345", with single backslashes.
bool SectionKey(std::string_view line, std::string& key)
{
    if (line.empty() || line[0] != '[') return false;
    const size_t close = line.rfind(']');
    if (close == std::string_view::npos) return false;
    key.clear();
    for (size_t i = 1; i < close; ++i) {
        if (line[i] == '\\' && i + 1 < close && line[i + 1] == '\\') ++i;
        key += line[i];
    }
    return true;
}

std::string Wow64Key(std::string_view key)
{
    const size_t slash = key.find('\\');
    if (slash == std::string_view::npos) return std::string(key);
    return std::string(key.substr(0, slash)) + "\\Wow6432Node" + std::string(key.substr(slash));
}

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

}  // namespace

std::string ReadWineRegistryString(std::string_view regText, std::string_view key, std::string_view valueName)
{
    const std::string wowKey = Wow64Key(key);
    std::string current;
    bool inKey = false;
    std::string found, foundWow;
    size_t start = 0;
    while (start < regText.size()) {
        size_t end = regText.find('\n', start);
        if (end == std::string_view::npos) end = regText.size();
        std::string_view line = regText.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty() && line[0] == '[') {
            if (SectionKey(line, current))
                inKey = SameText(current, key) || SameText(current, wowKey);
            else
                inKey = false;
            continue;
        }
        if (!inKey || line.empty() || line[0] != '"') continue;
        size_t pos = 0;
        std::string name, value;
        if (!ReadQuoted(line, pos, name) || !SameText(name, valueName)) continue;
        if (pos >= line.size() || line[pos] != '=') continue;
        ++pos;
        if (line.substr(pos, 7) == "str(2):") pos += 7;
        if (!ReadQuoted(line, pos, value)) continue;
        (SameText(current, key) ? found : foundWow) = value;
    }
    return !found.empty() ? found : foundWow;
}

fs::path WinePathToNative(std::string_view windowsPath, const fs::path& prefix)
{
    std::string rest(windowsPath);
    fs::path base;
    if (rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':') {
        const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(rest[0])));
        base = drive == 'c' ? prefix / "drive_c" : prefix / "dosdevices" / std::string{drive, ':'};
        rest.erase(0, 2);
    }
    for (char& c : rest)
        if (c == '\\') c = '/';
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    if (base.empty()) return PathFromUtf8(rest);
    return rest.empty() ? base : base / PathFromUtf8(rest);
}

#ifdef _WIN32

std::string GetGameFolder()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
    std::string result;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, kGameRegistryValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        std::string buffer(size, '\0');
        if (RegQueryValueExA(key, kGameRegistryValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
            ERROR_SUCCESS) {
            buffer.resize(size);
            while (!buffer.empty() && buffer.back() == '\0') buffer.pop_back();
            result = buffer;
        }
    }
    RegCloseKey(key);
    return result;
}

#else

std::string GetGameFolder()
{
    if (const char* dir = std::getenv("MESHCRAFT_GAME_DIR"); dir && *dir) {
        // Typed by hand, often with a trailing slash; the stored game folder
        // never has one, and the MOD folder rule compares against it.
        std::string folder = dir;
        while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return folder;
    }

    fs::path prefix;
    if (const char* wine = std::getenv("WINEPREFIX"); wine && *wine)
        prefix = wine;
    else if (const std::string home = HomeFolder(); !home.empty())
        prefix = fs::path(home) / ".wine";
    else
        return {};

    std::ifstream file(prefix / "system.reg", std::ios::binary);
    if (!file) return {};
    std::ostringstream text;
    text << file.rdbuf();
    const std::string stored = ReadWineRegistryString(text.str(), kGameRegistryKey, kGameRegistryValue);
    if (stored.empty()) return {};
    return PathToUtf8(WinePathToNative(stored, prefix));
}

#endif

}  // namespace mc
