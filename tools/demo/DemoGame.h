// A small game folder made with the project's own writers, so that the
// program can be tried without the game:
//   Bin/config.cpp       classes of the demo models, the proxy class, the
//                        arm's move states (CfgMovesMC)
//   Bin/stringtable.csv  their display names
//   Dta/data3d.pbo       crate.p3d, tower.p3d (three visual LODs), flag.p3d
//   Dta/data.pbo         their textures
//   Dta/anim.pbo         the animations of the move states
//   AddOns/demo.pbo      barrel.p3d, its texture, the two-bone arm model and
//                        its RTM animation, a read-me page, a mission script,
//                        a string table and a WSS sound
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace mc {
class TModel;
}

namespace mc::demo {

// A textured prism with one visual LOD per entry of sides (resolutions 1, 2,
// 4 ...), a Geometry LOD with masses, and a Memory LOD with an aim point and
// a "flag" proxy on top. Named selections "body" and "top" in each visual LOD.
std::unique_ptr<TModel> MakePrismModel(const std::string& fileName, const std::string& texture,
                                       std::initializer_list<int> sides, float radius, float height);

// A flag: a textured two-sided quad on a pole.
std::unique_ptr<TModel> MakeFlagModel();

// Writes the whole folder (replacing files of the same names). False with a
// reason when something could not be written.
bool WriteDemoGame(const std::filesystem::path& folder, std::string& error);

}  // namespace mc::demo
