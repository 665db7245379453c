#include "sysinfo/SysInfo.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "Core/FilePaths.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cwchar>
#include <filesystem>
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

#ifndef _WIN32
std::string ReadTextFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return {};
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
#endif

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

std::string WindowsOSName(unsigned long platformId, unsigned long major, unsigned long minor, unsigned long build,
                          std::string_view service, bool extended, int productType, std::string_view registryProductType)
{
    // Platform ids and product types as the Windows headers number them.
    constexpr unsigned long kWin32s = 0, kWin9x = 1, kWinNT = 2;
    constexpr int kWorkstation = 1, kServer = 3;
    std::string name = "Windows";
    const char second = service.size() >= 2 ? service[1] : '\0';
    switch (platformId) {
    case kWin32s: return name + " 32s";
    case kWin9x:
        if (major == 4 && minor == 0) {
            name += " 95";
            if (second == 'C' || second == 'B') name += " OSR2";
        } else if (major == 4 && minor == 10) {
            name += " 98";
            if (second == 'A') name += " SE";
        } else if (major == 4 && minor == 90) {
            name += " ME";
        }
        return name;
    case kWinNT: {
        if (major < 5) name += " NT";
        if (major == 5 && minor == 0) name += " 2000";
        if (!extended) {
            if (registryProductType == "WINNT") name += " Professional";
            else if (registryProductType == "LANMANNT") name += " Server";
            else if (registryProductType == "SERVERNT") name += " Advanced Server";
        } else {
            if (productType == kWorkstation && major == 5 && minor == 1) name += " XP";
            if (productType == kServer) {
                if (major == 5 && minor == 2) name += " .NET";
                name += " Server";
            }
        }
        if (major < 5) {
            char version[48];
            std::snprintf(version, sizeof version, " %lu.%lu", major, minor);
            name += version;
        }
        char number[32];
        std::snprintf(number, sizeof number, " (Build %lu)", build & 0xFFFF);
        return name + "\r" + std::string(service) + number;
    }
    default: return name;
    }
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

std::string Utf8(const std::wstring& text) { return PathToUtf8(std::filesystem::path(text)); }

std::string ProductTypeFromRegistry()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\ProductOptions", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return {};
    wchar_t buffer[80] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
    std::string result;
    if (RegQueryValueExW(key, L"ProductType", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
        result = Utf8(std::wstring(buffer, wcsnlen(buffer, size / sizeof(wchar_t))));
    RegCloseKey(key);
    for (char& c : result) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

// The version record; the extended one when the system gives it.
bool QueryVersion(OSVERSIONINFOEXW& info, bool& extended)
{
#if defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    info = {};
    info.dwOSVersionInfoSize = sizeof info;
    extended = true;
    if (GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return true;
    extended = false;
    info = {};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    return GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info)) != 0;
#if defined(_MSC_VER)
#pragma warning(pop)
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}

}  // namespace

std::string GetOSName()
{
    OSVERSIONINFOEXW info{};
    bool extended = false;
    if (!QueryVersion(info, extended)) return {};
    const std::string service = Utf8(std::wstring(info.szCSDVersion, wcsnlen(info.szCSDVersion, 128)));
    return WindowsOSName(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, service,
                         extended, extended ? info.wProductType : 0, extended ? std::string() : ProductTypeFromRegistry());
}

std::string GetLastErrorText() { return ErrorCodeText(static_cast<int>(GetLastError())); }

std::string ErrorCodeText(int code)
{
    if (code == 0) return {};
    wchar_t buffer[257] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                   static_cast<DWORD>(code), 0, buffer, 256, nullptr);
    if (n == 0) return ErrorCodeFallback(code);
    std::wstring text(buffer, n);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return Utf8(text);
}

std::string GetProgramFolder()
{
    // Paths may be longer than MAX_PATH: grow until the name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return ".\\";
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return ".\\";
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::string(".\\") : Utf8(path.substr(0, slash + 1));
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
