// The JPEG decoder of this build, installed as the library's JPEG decoder:
// libjpeg-turbo, or stb_image in the Windows build.
#pragma once

namespace mc {

// Installs one program-wide decoder and loads it; returns whether JPEG
// pictures are available.
bool InstallProgramJpegDecoder();

}  // namespace mc
