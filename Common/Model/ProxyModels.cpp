#include "Model/ProxyModels.h"

#include "Archive/PbList.h"
#include "Config/ConfigClass.h"
#include "Config/GameData.h"
#include "Config/Resources.h"
#include "Core/Strings.h"
#include "Model/ArchiveModelLoader.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/Proxy.h"

namespace mc {

std::string ProxyModelPath(const TProxy& proxy, const TResources* config)
{
    const TRClass* cls = nullptr;
    if (config && config->RootClass) cls = config->RootClass->FindPath({"CfgNonAIVehicles", "Proxy" + proxy.Name});
    if (!cls) return proxy.Name;
    const TRMember* model = cls->FindInheritedMember("model");
    if (!model || !model->IsField()) return {};
    return static_cast<const TRField*>(model)->ValueString();
}

TModel* ResolveProxyModel(TProxy& proxy, const TResources* config, const TPbList* archives)
{
    if (proxy.ProxyModel || !archives) return nullptr;
    std::string path = ProxyModelPath(proxy, config);
    // An entry name never starts with a backslash, though config paths often do.
    const size_t start = path.find_first_not_of('\\');
    if (start == std::string::npos) return nullptr;
    path.erase(0, start);
    // Addon configs often name the file with its extension.
    if (LowerExt(path) != ".p3d") path += ".p3d";
    for (int i = 0; i < archives->Count(); ++i) {
        const TPbFile* archive = archives->Archive(i);
        const std::string gamePath = archive->Name + "\\" + path;
        if (!archives->HasArchiveFor(gamePath)) continue;
        if (auto model = LoadModelFromArchive(*archive, gamePath)) {
            proxy.ProxyModel = std::move(model);
            return proxy.ProxyModel.get();
        }
    }
    return nullptr;
}

TModel* ResolveProxyModel(TProxy& proxy) { return ResolveProxyModel(proxy, GameConfig(), PbList()); }

bool ResolveProxyModels(TLOD& lod, const TResources* config, const TPbList* archives)
{
    bool all = true;
    for (const auto& proxy : lod.Proxies)
        if (proxy->ShowModel && !ResolveProxyModel(*proxy, config, archives)) all = false;
    return all;
}

bool ResolveProxyModels(TLOD& lod) { return ResolveProxyModels(lod, GameConfig(), PbList()); }

}  // namespace mc
