#include "Texture/DeviceCaps.h"

namespace mc {

namespace {
uint32_t g_caps = 0;
}

void SetDeviceCapabilities(uint32_t caps) { g_caps = caps; }
uint32_t GetDeviceCapabilities() { return g_caps; }

}  // namespace mc
