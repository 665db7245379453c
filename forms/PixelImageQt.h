// A texture level's display picture as a QImage that shares its pixels.
#pragma once

#include <QImage>
#include <memory>

#include "Texture/PixelImage.h"

namespace mc {

// A read-only QImage over the picture's buffer; it keeps the picture alive
// as long as the QImage (or a copy of it) exists. Null for no picture.
QImage ToQImage(const std::shared_ptr<const TPixelImage>& picture);

}  // namespace mc
