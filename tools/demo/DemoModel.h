// A small model built in memory: a textured crate with Geometry and Memory
// LODs, a named selection, a proxy and named properties.
#pragma once

#include <memory>

namespace mc {
class TModel;
}

namespace mc::demo {

std::unique_ptr<TModel> MakeCrateModel();

}  // namespace mc::demo
