// The platform layer: where the game is, what the machine is.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "gamefolder/GameFolder.h"
#include "sysinfo/SysInfo.h"

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
    EXPECT_EQ(WinePathToNative("D:\\OFP\\", prefix), fs::path("/home/u/.wine/dosdevices/d:/OFP/"));
    EXPECT_EQ(WinePathToNative("\\\\server\\share", prefix), fs::path("server/share"));
}

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

TEST(SysInfo, LinuxNameFromOsReleaseAndKernel)
{
    const char* const release = "NAME=\"Debian GNU/Linux\"\nVERSION=\"12 (bookworm)\"\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n";
    EXPECT_EQ(LinuxOSName(release, "Linux", "6.1.0-18-amd64", ""), "Debian GNU/Linux 12 (bookworm)\rLinux 6.1.0-18-amd64");
    EXPECT_EQ(LinuxOSName("NAME=Alpine\nVERSION=3.19\n", "Linux", "6.6", "#1 SMP"), "Alpine 3.19\rLinux 6.6 (#1 SMP)");
    EXPECT_EQ(LinuxOSName("", "Linux", "6.6", ""), "Linux 6.6");
    const std::string here = GetOSName();
    EXPECT_FALSE(here.empty());
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
