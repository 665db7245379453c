// JPEG pictures decoded by Qt's image readers, installed as the program's
// JPEG decoder at start-up.
#pragma once

#include "Texture/JpegDecoder.h"

namespace mc {

class TQtJpegDecoder : public IJpegDecoder {
public:
    // True when Qt has a JPEG reader; the folder is not used.
    bool Load(const std::string& folder) override;
    std::optional<TJpegBitmap> Decode(const uint8_t* data, size_t size) override;
};

// The program's one instance.
TQtJpegDecoder& QtJpegDecoder();

}  // namespace mc
