// JPEG decoding with stb_image, installed as the library's JPEG decoder where
// libjpeg-turbo is not at hand (the Windows build).
#pragma once

#include "Texture/JpegDecoder.h"

namespace mc {

class TStbJpegDecoder : public IJpegDecoder {
public:
    // Always ready: the decoder is part of the program.
    bool Load(const std::string& folder) override;
    // Grey, colour and CMYK pictures become blue-green-red rows. Refuses
    // data stb_image cannot read and pictures larger than their bytes could
    // plausibly describe.
    std::optional<TJpegBitmap> Decode(const uint8_t* data, size_t size) override;
};

}  // namespace mc
