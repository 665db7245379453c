// The models that proxies place, found through the game configuration and
// the game archives.
#pragma once

#include <string>

namespace mc {

class TGameData;
class TLOD;
class TModel;
class TProxy;
class TResources;

// The model path of a proxy: the "model" text of the config class
// CfgNonAIVehicles/Proxy<Name> (inherited values count), or the proxy's
// Name when there is no such class. Empty when the class has no model.
std::string ProxyModelPath(const TProxy& proxy, const TResources* config);

// Loads the proxy's model unless it has one: the model path (through the
// game's configuration), with ".p3d" added unless it ends so, is tried in
// each open archive of the game in list order, and the first model that
// loads is kept in ProxyModel. Returns the model loaded in this call, or
// nullptr (failures are silent).
TModel* ResolveProxyModel(TProxy& proxy, const TGameData& game);

// ResolveProxyModel for every proxy of the LOD whose ShowModel is set; true
// only when each of them obtained a model in this call.
bool ResolveProxyModels(TLOD& lod, const TGameData& game);

}  // namespace mc
