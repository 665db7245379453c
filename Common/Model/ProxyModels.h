// The models that proxies place, found through the game configuration and
// the game archives.
#pragma once

#include <string>

namespace mc {

class TLOD;
class TModel;
class TPbList;
class TProxy;
class TResources;

// The model path of a proxy: the "model" text of the config class
// CfgNonAIVehicles/Proxy<Name> (inherited values count), or the proxy's
// Name when there is no such class. Empty when the class has no model.
std::string ProxyModelPath(const TProxy& proxy, const TResources* config);

// Loads the proxy's model unless it has one: the model path, with ".p3d"
// added unless it ends so, is tried in each open archive in list order, and the first model that loads
// is kept in ProxyModel. Returns the model loaded in this call, or nullptr
// (failures are silent). By default the game's configuration and archives.
TModel* ResolveProxyModel(TProxy& proxy, const TResources* config, const TPbList* archives);
TModel* ResolveProxyModel(TProxy& proxy);

// ResolveProxyModel for every proxy of the LOD whose ShowModel is set; true
// only when each of them obtained a model in this call.
bool ResolveProxyModels(TLOD& lod, const TResources* config, const TPbList* archives);
bool ResolveProxyModels(TLOD& lod);

}  // namespace mc
