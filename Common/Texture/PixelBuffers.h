// Memory of large pictures. A texture browser makes picture after picture of
// similar sizes; memory fresh from the system costs a page fault per page
// touched, which for a large texture's images takes longer than decoding
// them. Buffers of pictures freed lately are therefore kept (up to a fixed
// total) and handed to the next pictures.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mc {

// A buffer of at least count pixels; its contents are undefined.
uint32_t* AcquirePixelBuffer(size_t count, size_t& capacity);
// Gives a buffer back (nullptr is ignored).
void ReleasePixelBuffer(uint32_t* buffer, size_t capacity);
// Frees every kept buffer.
void TrimPixelBuffers();

}  // namespace mc
