// Small models and textures for the renderer's tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Core/Vector3.h"

namespace mc {
class TLOD;
class TModel;
}  // namespace mc

namespace mc::test {

// An empty model with one LOD per resolution.
std::unique_ptr<TModel> ModelWithLODs(const std::vector<float>& resolutions);

// Adds a quad in the plane z = 0 from (-1,-1) to (1,1), its UVs from (0,0) at
// the top left to (uMax, vMax) at the bottom right, with the flags and texture.
void AddQuad(TLOD& lod, uint32_t flags, uint16_t texture, float uMax = 1, float vMax = 1);
// The same from (x0, y0) to (x1, y1) at depth z.
void AddQuadAt(TLOD& lod, float x0, float y0, float x1, float y1, float z, uint32_t flags, uint16_t texture,
               float uMax = 1, float vMax = 1);

// Adds a cube of side 2 about the origin (twelve triangles).
void AddCube(TLOD& lod);

// A ".paa" (ARGB4444) of one colour, 8 x 8, or of two: left half, right half.
std::vector<uint8_t> SolidPaa(uint32_t argb);
std::vector<uint8_t> TwoColourPaa(uint32_t left, uint32_t right);

}  // namespace mc::test
