// A small model built in memory: a textured crate with Geometry and Memory
// LODs, a named selection, a proxy and named properties.
#pragma once

#include <memory>
#include <string>

namespace mc {
class TModel;
class TLOD;
}

namespace mc::demo {

std::unique_ptr<TModel> MakeCrateModel();

// Fills a Memory LOD: the aim point "zamerny" at half the height and a proxy
// triangle of the named proxy standing on top.
void FillProxyMemory(TLOD& lod, float height, const std::string& proxyName);

}  // namespace mc::demo
