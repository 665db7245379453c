// What the program tells about the machine it runs on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mc {

// A one- or two-line description of the operating system (a carriage return
// starts the second line); empty when it cannot be queried. On Windows:
// "Windows XP\rService Pack 2 (Build 2600)" and the like; elsewhere the
// distribution's name and the kernel's name and release.
std::string GetOSName();

// The text of the operating system's last error (errno / GetLastError);
// empty when it is 0.
std::string GetLastErrorText();
// The text for an error code: the system's message, or
// "Error Code: %d (0x%08X)" when the system has none.
std::string ErrorCodeText(int code);

// The folder of the running program file, with a trailing separator.
std::string GetProgramFolder();

// Physical memory in bytes; false when it cannot be queried.
bool GetPhysicalMemory(uint64_t& total, uint64_t& available);

// The Linux description from the text of /etc/os-release and the kernel's
// name, release and version: "PRETTY_NAME\rname release (version)".
std::string LinuxOSName(std::string_view osRelease, std::string_view kernelName, std::string_view kernelRelease,
                        std::string_view kernelVersion);

// The Windows description from the parts of the version record: platform
// id, version, build, service text ("Service Pack 2"), whether the extended
// record was there with its product type (1 workstation, 2 domain
// controller, 3 server), or else the registry's "ProductType" text in upper
// case ("WINNT", "LANMANNT", "SERVERNT").
std::string WindowsOSName(unsigned long platformId, unsigned long major, unsigned long minor, unsigned long build,
                          std::string_view service, bool extended, int productType, std::string_view registryProductType);

// Total and available memory from the text of /proc/meminfo (in bytes).
bool ParseMemInfo(std::string_view memInfo, uint64_t& total, uint64_t& available);

}  // namespace mc
