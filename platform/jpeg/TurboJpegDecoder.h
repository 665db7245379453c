// JPEG decoding with libjpeg-turbo, installed as the library's JPEG decoder.
#pragma once

#include "Texture/JpegDecoder.h"

namespace mc {

class TTurboJpegDecoder : public IJpegDecoder {
public:
    // Always ready: the decoder is part of the program.
    bool Load(const std::string& folder) override;
    // Grey, colour and CMYK pictures become blue-green-red rows. Refuses
    // damaged data (warnings included) and pictures larger than their bytes
    // could plausibly describe.
    std::optional<TJpegBitmap> Decode(const uint8_t* data, size_t size) override;
};

// Installs one program-wide TTurboJpegDecoder and loads it; returns whether
// JPEG pictures are available.
bool InstallTurboJpegDecoder();

}  // namespace mc
