// JPEG pictures. The decoding itself is done by an implementation that the
// program installs at start-up (the library stays free of any JPEG code);
// without one, or before LoadJpegLibrary has succeeded, JPEG pictures are
// not shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mc {

class TStream;

// A decoded picture: Height rows of Width pixels, top row first, each pixel
// the bytes blue, green, red; every row filled up to a multiple of 4 bytes.
struct TJpegBitmap {
    int Width = 0;
    int Height = 0;
    size_t Stride = 0;  // bytes per row: (3 x Width + 3) rounded down to a multiple of 4
    std::vector<uint8_t> Pixels;
};

// Whether a header's picture size is believable for a file of fileSize
// bytes, checked before a decoder allocates anything: sides of 1 to 32768,
// at most 8192 x 8192 pixels (a picture under 200 MB however well it
// compresses), and no more than 1024 pixels a byte (even one flat colour
// takes a few bits per 8 x 8 block).
bool JpegSizeBelievable(int width, int height, size_t fileSize);

class IJpegDecoder {
public:
    virtual ~IJpegDecoder() = default;
    // Makes the decoder ready; folder is the game's program folder (with a
    // trailing separator), where a decoder that comes as a separate library
    // would be found. False when it cannot be used.
    virtual bool Load(const std::string& folder) = 0;
    // Nothing when the data is not a picture the decoder can read.
    virtual std::optional<TJpegBitmap> Decode(const uint8_t* data, size_t size) = 0;
};

// Installs the decoder (nullptr: none). Installing another one makes JPEG
// pictures unavailable until LoadJpegLibrary is called again.
void InstallJpegDecoder(IJpegDecoder* decoder);

// Readies the installed decoder unless it is ready already; sets and returns
// the availability flag.
bool LoadJpegLibrary(const std::string& folder);
bool JpegAvailable();

// Decodes the bytes from the stream's position to its end. Nothing when no
// decoder is available, the stream comes up short or the picture cannot be
// decoded; nothing is logged.
std::optional<TJpegBitmap> DecodeJpegToBitmap(TStream& stream);

}  // namespace mc
