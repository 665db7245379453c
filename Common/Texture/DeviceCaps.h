// What the 3D devices accept: set by the device layer when a device is
// created, read by the texture loader in device mode.
#pragma once

#include <cstdint>

namespace mc {

namespace DeviceCap {
constexpr uint32_t DXT1 = 1;
constexpr uint32_t DXT2 = 2;
constexpr uint32_t DXT3 = 4;
constexpr uint32_t DXT4 = 8;
constexpr uint32_t DXT5 = 16;
constexpr uint32_t JPEG = 32;
}  // namespace DeviceCap

// Program-wide; empty at start.
void SetDeviceCapabilities(uint32_t caps);
uint32_t GetDeviceCapabilities();

}  // namespace mc
