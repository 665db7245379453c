// The platform layer: where the game is, what the machine is.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "gamefolder/GameFolder.h"
#include "sysinfo/SysInfo.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

using namespace mc;
namespace fs = std::filesystem;

namespace {

const char* const kSystemReg =
    "WINE REGISTRY Version 2\n"
    ";; All keys relative to \\\\Machine\n"
    "\n"
    "#arch=win64\n"
    "\n"
    "[Software\\\\Codemasters] 1700000000\n"
    "\"MAIN\"=\"C:\\\\Wrong\"\n"
    "\n"
    "[Software\\\\Wow6432Node\\\\Codemasters\\\\Operation Flashpoint] 1700000001\n"
    "#time=1d9a0e2c0b1c2d3\n"
    "\"Version\"=dword:00000001\n"
    "\"main\"=\"C:\\\\Program Files (x86)\\\\Codemasters\\\\Operation \\\"Flashpoint\\\" \\x00e9\"\n";

#ifndef _WIN32
class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name)
    {
        if (const char* v = std::getenv(name)) had_ = true, value_ = v;
    }
    ~EnvGuard()
    {
        if (had_)
            setenv(name_, value_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    bool had_ = false;
    std::string value_;
};
#endif

}  // namespace

TEST(GameFolder, ReadsWineRegistryStrings)
{
    // The 32-bit program's key below Wow6432Node; names ignore case; escapes.
    EXPECT_EQ(ReadWineRegistryString(kSystemReg, kGameRegistryKey, kGameRegistryValue),
              "C:\\Program Files (x86)\\Codemasters\\Operation \"Flashpoint\" \xC3\xA9");
    EXPECT_EQ(ReadWineRegistryString(kSystemReg, "software\\codemasters", "MAIN"), "C:\\Wrong");
    EXPECT_EQ(ReadWineRegistryString(kSystemReg, kGameRegistryKey, "Version"), "");  // not a string
    EXPECT_EQ(ReadWineRegistryString(kSystemReg, "Software\\Other", "MAIN"), "");
    EXPECT_EQ(ReadWineRegistryString("[Software\\\\Codemasters\\\\Operation Flashpoint\n\"MAIN\"=\"x", kGameRegistryKey,
                                     "MAIN"),
              "");  // broken lines give nothing
    // The native key wins over the 32-bit one.
    const std::string both = std::string(kSystemReg) +
                             "[Software\\\\Codemasters\\\\Operation Flashpoint] 1\r\n\"MAIN\"=\"D:\\\\OFP\"\r\n";
    EXPECT_EQ(ReadWineRegistryString(both, kGameRegistryKey, kGameRegistryValue), "D:\\OFP");
}

TEST(GameFolder, MapsWindowsPathsIntoThePrefix)
{
    const fs::path prefix = "/home/u/.wine";
    EXPECT_EQ(WinePathToNative("C:\\Games\\OFP", prefix), fs::path("/home/u/.wine/drive_c/Games/OFP"));
    EXPECT_EQ(WinePathToNative("c:\\", prefix), fs::path("/home/u/.wine/drive_c"));
#ifndef _WIN32  // a Wine prefix's paths are paths of Linux: "d:" is a name there
    EXPECT_EQ(WinePathToNative("D:\\OFP\\", prefix), fs::path("/home/u/.wine/dosdevices/d:/OFP/"));
#endif
    EXPECT_EQ(WinePathToNative("\\\\server\\share", prefix), fs::path("server/share"));
}

#ifndef _WIN32
TEST(GameFolder, EnvironmentThenWinePrefix)
{
    EnvGuard game("MESHCRAFT_GAME_DIR"), wine("WINEPREFIX");
    setenv("MESHCRAFT_GAME_DIR", "/opt/ofp", 1);
    EXPECT_EQ(GetGameFolder(), "/opt/ofp");
    setenv("MESHCRAFT_GAME_DIR", "/opt/ofp//", 1);
    EXPECT_EQ(GetGameFolder(), "/opt/ofp");
    setenv("MESHCRAFT_GAME_DIR", "/", 1);
    EXPECT_EQ(GetGameFolder(), "/");

    unsetenv("MESHCRAFT_GAME_DIR");
    const fs::path prefix = fs::temp_directory_path() / "meshcraft-platform-test-prefix";
    fs::remove_all(prefix);
    fs::create_directories(prefix);
    setenv("WINEPREFIX", prefix.c_str(), 1);
    EXPECT_EQ(GetGameFolder(), "");  // no system.reg
    std::ofstream(prefix / "system.reg") << kSystemReg;
    EXPECT_EQ(GetGameFolder(),
              (prefix / "drive_c" / "Program Files (x86)" / "Codemasters" / "Operation \"Flashpoint\" \xC3\xA9").string());
    fs::remove_all(prefix);
}
#endif

TEST(SysInfo, LinuxNameFromOsReleaseAndKernel)
{
    const char* const release = "NAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n";
    EXPECT_EQ(LinuxOSName(release, "Linux", "6.1.0-18-amd64", ""), "Debian GNU/Linux 12 (bookworm)\rLinux 6.1.0-18-amd64");
    EXPECT_EQ(LinuxOSName("NAME=Alpine\nVERSION=3.19\n", "Linux", "6.6", "#1 SMP"), "Alpine 3.19\rLinux 6.6 (#1 SMP)");
    EXPECT_EQ(LinuxOSName("", "Linux", "6.6", ""), "Linux 6.6");
    const std::string here = GetOSName();
    EXPECT_FALSE(here.empty());
#ifdef _WIN32
    EXPECT_EQ(here.rfind("Windows", 0), 0u) << here;
    EXPECT_NE(here.find("\r"), std::string::npos) << here;
    EXPECT_NE(here.find(" (Build "), std::string::npos) << here;
#endif
}

TEST(SysInfo, WindowsNameFromVersion)
{
    // Platform ids: 0 Win32s, 1 Windows 9x, 2 NT; product types: 1
    // workstation, 3 server.
    EXPECT_EQ(WindowsOSName(0, 3, 10, 0, "", true, 0, ""), "Windows 32s");
    EXPECT_EQ(WindowsOSName(1, 4, 0, 950, " C", false, 0, ""), "Windows 95 OSR2");
    EXPECT_EQ(WindowsOSName(1, 4, 0, 950, " B", false, 0, ""), "Windows 95 OSR2");
    EXPECT_EQ(WindowsOSName(1, 4, 0, 950, "", false, 0, ""), "Windows 95");
    EXPECT_EQ(WindowsOSName(1, 4, 10, 2222, " A ", true, 0, ""), "Windows 98 SE");
    EXPECT_EQ(WindowsOSName(1, 4, 90, 3000, " ", true, 0, ""), "Windows ME");
    EXPECT_EQ(WindowsOSName(2, 4, 0, 1381, "Service Pack 6", false, 0, "WINNT"),
              "Windows NT Professional 4.0\rService Pack 6 (Build 1381)");
    EXPECT_EQ(WindowsOSName(2, 4, 0, 1381, "Service Pack 3", false, 0, "LANMANNT"),
              "Windows NT Server 4.0\rService Pack 3 (Build 1381)");
    EXPECT_EQ(WindowsOSName(2, 5, 0, 2195, "Service Pack 4", true, 1, ""), "Windows 2000\rService Pack 4 (Build 2195)");
    EXPECT_EQ(WindowsOSName(2, 5, 1, 2600, "Service Pack 2", true, 1, ""), "Windows XP\rService Pack 2 (Build 2600)");
    EXPECT_EQ(WindowsOSName(2, 5, 2, 3790, "", true, 3, ""), "Windows .NET Server\r (Build 3790)");
    // Later versions get no name of their own; the build number keeps its
    // low 16 bits.
    EXPECT_EQ(WindowsOSName(2, 10, 0, 0x0A004A65, "", true, 1, ""), "Windows\r (Build 19045)");
    EXPECT_EQ(WindowsOSName(2, 6, 1, 7601, "Service Pack 1", true, 3, ""), "Windows Server\rService Pack 1 (Build 7601)");
}

TEST(SysInfo, MemoryFromMemInfo)
{
    uint64_t total = 0, available = 0;
    EXPECT_TRUE(ParseMemInfo("MemTotal:       524288 kB\nMemFree:          1000 kB\nMemAvailable:   123456 kB\n", total,
                             available));
    EXPECT_EQ(total, 524288ull * 1024);
    EXPECT_EQ(available, 123456ull * 1024);
    EXPECT_TRUE(ParseMemInfo("MemTotal: 2048 kB\nMemFree: 1024 kB\n", total, available));
    EXPECT_EQ(available, 1024ull * 1024);
    EXPECT_FALSE(ParseMemInfo("garbage", total, available));
    EXPECT_TRUE(GetPhysicalMemory(total, available));
    EXPECT_GT(total, 0u);
    EXPECT_LE(available, total);
}

#ifdef _WIN32
TEST(SysInfo, ErrorTextsAndProgramFolder)
{
    EXPECT_EQ(ErrorCodeText(0), "");
    EXPECT_FALSE(ErrorCodeText(ERROR_FILE_NOT_FOUND).empty());
    EXPECT_EQ(ErrorCodeText(ERROR_FILE_NOT_FOUND).find("Error Code"), std::string::npos);
    EXPECT_EQ(ErrorCodeText(99999), "Error Code: 99999 (0x0001869F)");
    const std::string text = ErrorCodeText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');  // no line end of the system's own
    EXPECT_LE(text.size(), 256u * 3);
    SetLastError(0);
    EXPECT_EQ(GetLastErrorText(), "");
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(GetLastErrorText(), text);

    const std::string folder = GetProgramFolder();
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(folder.back(), '\\');
    EXPECT_EQ(folder[1], ':') << folder;  // a drive letter, as Windows gives it
    EXPECT_TRUE(fs::exists(fs::path(folder) / "platform_tests.exe")) << folder;
}

// Run by tests/platform/Registry.cmake after it wrote the key with reg add;
// MESHCRAFT_TEST_GAME_FOLDER holds what it wrote (empty: nothing).
TEST(Registry, GameFolderAsWritten)
{
    if (!std::getenv("MESHCRAFT_TEST_REGISTRY")) GTEST_SKIP() << "run by Registry.cmake only";
    // The environment comes in the system's code page: take it wide.
    std::string want;
    if (const wchar_t* expected = _wgetenv(L"MESHCRAFT_TEST_GAME_FOLDER")) {
        const std::u8string text = fs::path(expected).u8string();
        want.assign(text.begin(), text.end());
    }
    EXPECT_EQ(GetGameFolder(), want);
}
#else
TEST(SysInfo, ErrorTextsAndProgramFolder)
{
    EXPECT_EQ(ErrorCodeText(0), "");
    EXPECT_EQ(ErrorCodeText(ENOENT), "No such file or directory");
    EXPECT_EQ(ErrorCodeText(99999), "Error Code: 99999 (0x0001869F)");
    errno = 0;
    EXPECT_EQ(GetLastErrorText(), "");
    errno = EACCES;
    EXPECT_EQ(GetLastErrorText(), "Permission denied");

    const std::string folder = GetProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::exists(fs::path(folder) / "platform_tests"));
}
#endif
