#include "sysinfo/SysInfo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <sys/utsname.h>
#include <unistd.h>

#include <climits>
#endif

namespace mc {

namespace {

std::string ErrorCodeFallback(int code)
{
    char text[64];
    std::snprintf(text, sizeof text, "Error Code: %d (0x%08X)", code, static_cast<unsigned>(code));
    return text;
}

std::string ReadTextFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The value of KEY=value or KEY="value" in an os-release text.
std::string OsReleaseValue(std::string_view text, std::string_view key)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=') {
            std::string_view value = line.substr(key.size() + 1);
            if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
                value = value.substr(1, value.size() - 2);
            return std::string(value);
        }
    }
    return {};
}

}  // namespace

std::string LinuxOSName(std::string_view osRelease, std::string_view kernelName, std::string_view kernelRelease,
                        std::string_view kernelVersion)
{
    std::string name = OsReleaseValue(osRelease, "PRETTY_NAME");
    if (name.empty()) {
        name = OsReleaseValue(osRelease, "NAME");
        const std::string version = OsReleaseValue(osRelease, "VERSION");
        if (!version.empty()) name += (name.empty() ? "" : " ") + version;
    }
    std::string kernel(kernelName);
    if (!kernelRelease.empty()) kernel += (kernel.empty() ? "" : " ") + std::string(kernelRelease);
    if (!kernelVersion.empty()) kernel += " (" + std::string(kernelVersion) + ")";
    if (name.empty()) return kernel;
    if (kernel.empty()) return name;
    return name + "\r" + kernel;
}

bool ParseMemInfo(std::string_view memInfo, uint64_t& total, uint64_t& available)
{
    uint64_t t = 0, a = 0, freeKb = 0;
    bool haveTotal = false, haveAvail = false, haveFree = false;
    size_t start = 0;
    while (start < memInfo.size()) {
        size_t end = memInfo.find('\n', start);
        if (end == std::string_view::npos) end = memInfo.size();
        const std::string line(memInfo.substr(start, end - start));
        start = end + 1;
        unsigned long long kb = 0;
        if (std::sscanf(line.c_str(), "MemTotal: %llu", &kb) == 1) t = kb, haveTotal = true;
        else if (std::sscanf(line.c_str(), "MemAvailable: %llu", &kb) == 1) a = kb, haveAvail = true;
        else if (std::sscanf(line.c_str(), "MemFree: %llu", &kb) == 1) freeKb = kb, haveFree = true;
    }
    if (!haveTotal || (!haveAvail && !haveFree)) return false;
    total = t * 1024;
    available = (haveAvail ? a : freeKb) * 1024;
    return true;
}

#ifdef _WIN32

namespace {

std::string ProductTypeFromRegistry()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\ProductOptions", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return {};
    char buffer[80] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    std::string result;
    if (RegQueryValueExA(key, "ProductType", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS)
        result = buffer;
    RegCloseKey(key);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

}  // namespace

std::string GetOSName()
{
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof info;
    bool extended = true;
#pragma warning(suppress : 4996)
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        extended = false;
        info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
#pragma warning(suppress : 4996)
        if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return {};
    }
    std::string name = "Windows";
    const DWORD major = info.dwMajorVersion, minor = info.dwMinorVersion;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s: name += " 32s"; return name;
    case VER_PLATFORM_WIN32_WINDOWS:
        if (major == 4 && minor == 0) {
            name += " 95";
            if (info.szCSDVersion[1] == 'C' || info.szCSDVersion[1] == 'B') name += " OSR2";
        } else if (major == 4 && minor == 10) {
            name += " 98";
            if (info.szCSDVersion[1] == 'A') name += " SE";
        } else if (major == 4 && minor == 90) {
            name += " ME";
        }
        return name;
    case VER_PLATFORM_WIN32_NT: {
        if (major < 5) name += " NT";
        if (major == 5 && minor == 0) name += " 2000";
        if (!extended) {
            const std::string product = ProductTypeFromRegistry();
            if (product == "WINNT") name += " Professional";
            else if (product == "LANMANNT") name += " Server";
            else if (product == "SERVERNT") name += " Advanced Server";
        } else {
            if (info.wProductType == VER_NT_WORKSTATION && major == 5 && minor == 1) name += " XP";
            if (info.wProductType == VER_NT_SERVER) {
                if (major == 5 && minor == 2) name += " .NET";
                name += " Server";
            }
        }
        if (major < 5) {
            char version[32];
            std::snprintf(version, sizeof version, " %lu.%lu", major, minor);
            name += version;
        }
        char second[200];
        std::snprintf(second, sizeof second, "\r%s (Build %lu)", info.szCSDVersion, info.dwBuildNumber & 0xFFFF);
        name += second;
        return name;
    }
    default: return name;
    }
}

std::string GetLastErrorText() { return ErrorCodeText(static_cast<int>(GetLastError())); }

std::string ErrorCodeText(int code)
{
    if (code == 0) return {};
    char buffer[257] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(code), 0, buffer, 256, nullptr);
    if (n == 0) return ErrorCodeFallback(code);
    std::string text(buffer, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

std::string GetProgramFolder()
{
    char path[MAX_PATH * 4] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, n);
    const size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".\\") : folder.substr(0, slash + 1);
}

bool GetPhysicalMemory(uint64_t& total, uint64_t& available)
{
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return false;
    total = status.ullTotalPhys;
    available = status.ullAvailPhys;
    return true;
}

#else

std::string GetOSName()
{
    struct utsname u {};
    if (uname(&u) != 0) return {};
    std::string osRelease = ReadTextFile("/etc/os-release");
    if (osRelease.empty()) osRelease = ReadTextFile("/usr/lib/os-release");
    return LinuxOSName(osRelease, u.sysname, u.release, "");
}

std::string GetLastErrorText() { return ErrorCodeText(errno); }

std::string ErrorCodeText(int code)
{
    if (code == 0) return {};
    char buffer[257] = {};
    // The GNU strerror_r may return a static text instead of filling buffer.
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    const char* text = strerror_r(code, buffer, 256);
#else
    const char* text = strerror_r(code, buffer, 256) == 0 ? buffer : nullptr;
#endif
    if (!text || !*text || std::strncmp(text, "Unknown error", 13) == 0) return ErrorCodeFallback(code);
    return std::string(text).substr(0, 256);
}

std::string GetProgramFolder()
{
    char path[PATH_MAX + 1] = {};
    const ssize_t n = readlink("/proc/self/exe", path, PATH_MAX);
    if (n <= 0) return "./";
    std::string folder(path, static_cast<size_t>(n));
    const size_t slash = folder.rfind('/');
    return slash == std::string::npos ? std::string("./") : folder.substr(0, slash + 1);
}

bool GetPhysicalMemory(uint64_t& total, uint64_t& available)
{
    const std::string memInfo = ReadTextFile("/proc/meminfo");
    if (!memInfo.empty() && ParseMemInfo(memInfo, total, available)) return true;
    const long pages = sysconf(_SC_PHYS_PAGES), free = sysconf(_SC_AVPHYS_PAGES), size = sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || size <= 0) return false;
    total = static_cast<uint64_t>(pages) * static_cast<uint64_t>(size);
    available = free > 0 ? static_cast<uint64_t>(free) * static_cast<uint64_t>(size) : 0;
    return true;
}

#endif

}  // namespace mc
