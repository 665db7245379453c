#include "Texture/JpegDecoder.h"

#include "Core/Stream.h"

namespace mc {

namespace {
IJpegDecoder* g_decoder = nullptr;
bool g_available = false;
}  // namespace

void InstallJpegDecoder(IJpegDecoder* decoder)
{
    if (decoder != g_decoder) g_available = false;
    g_decoder = decoder;
}

bool LoadJpegLibrary(const std::string& folder)
{
    if (!g_available && g_decoder) g_available = g_decoder->Load(folder);
    return g_available;
}

bool JpegAvailable() { return g_available; }

std::optional<TJpegBitmap> DecodeJpegToBitmap(TStream& stream)
{
    if (!g_available || !g_decoder) return std::nullopt;
    const int64_t size = stream.Remaining();
    if (size <= 0) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (stream.Read(bytes.data(), bytes.size()) != bytes.size()) return std::nullopt;
    std::optional<TJpegBitmap> bitmap = g_decoder->Decode(bytes.data(), bytes.size());
    // Refuse a result that does not hold what it claims.
    if (bitmap && (bitmap->Width <= 0 || bitmap->Height <= 0 || bitmap->Stride < size_t(bitmap->Width) * 3 ||
                   bitmap->Pixels.size() < bitmap->Stride * size_t(bitmap->Height)))
        return std::nullopt;
    return bitmap;
}

bool JpegSizeBelievable(int width, int height, size_t fileSize)
{
    constexpr int kMaxSide = 32768;
    constexpr uint64_t kMaxPixels = uint64_t(8192) * 8192;
    constexpr uint64_t kMaxPixelsPerByte = 1024;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return false;
    const uint64_t pixels = uint64_t(width) * uint64_t(height);
    return pixels <= kMaxPixels && pixels <= uint64_t(fileSize) * kMaxPixelsPerByte;
}

}  // namespace mc
