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

#ifndef _WIN32
std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    return home ? home : "";
}
#endif

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

namespace {

// The string value of a key under HKEY_LOCAL_MACHINE in one registry view,
// opened for reading only (never created). Empty when absent or not a text.
std::string ReadMachineString(const wchar_t* keyName, const wchar_t* valueName, REGSAM view)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) return {};
    std::wstring buffer;
    DWORD type = 0, size = 0;
    LSTATUS status = RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size);
    // The value may change between the two calls: ask again while it grows.
    for (int attempt = 0; status == ERROR_SUCCESS && attempt < 4; ++attempt) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) break;
        buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
        DWORD got = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            status = ERROR_SUCCESS;
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) break;
        buffer.resize(got / sizeof(wchar_t));
        while (!buffer.empty() && buffer.back() == L'\0') buffer.pop_back();
        RegCloseKey(key);
        return PathToUtf8(fs::path(buffer));
    }
    RegCloseKey(key);
    return {};
}

}  // namespace

std::string GetGameFolder()
{
    // The game's installer is a 32-bit program: on 64-bit Windows its key is
    // in the 32-bit view, which a 64-bit program sees only when it asks.
    const std::wstring key = PathFromUtf8(kGameRegistryKey).wstring();
    const std::wstring value = PathFromUtf8(kGameRegistryValue).wstring();
    std::string folder = ReadMachineString(key.c_str(), value.c_str(), 0);
    if (folder.empty()) folder = ReadMachineString(key.c_str(), value.c_str(), KEY_WOW64_32KEY);
    return folder;
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
