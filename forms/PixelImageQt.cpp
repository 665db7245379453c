#include "PixelImageQt.h"

namespace mc {

namespace {
void ReleasePicture(void* info) { delete static_cast<std::shared_ptr<const TPixelImage>*>(info); }
}  // namespace

QImage ToQImage(const std::shared_ptr<const TPixelImage>& picture)
{
    if (!picture || picture->Empty()) return {};
    auto* keep = new std::shared_ptr<const TPixelImage>(picture);
    return QImage(picture->Bits(), picture->Width(), picture->Height(), static_cast<qsizetype>(picture->Stride()),
                  QImage::Format_RGB32, ReleasePicture, keep);
}

}  // namespace mc
