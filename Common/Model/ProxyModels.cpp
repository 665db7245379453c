#include "Model/ProxyModels.h"

#include "Config/ConfigClass.h"
#include "Game/GameData.h"
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

TModel* ResolveProxyModel(TProxy& proxy, const TGameData& game)
{
    if (proxy.ProxyModel) return nullptr;
    const TPbList* archives = &game.PbList;
    std::string path = ProxyModelPath(proxy, game.GameConfig.get());
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
        if (auto model = LoadModelFromArchive(game, *archive, gamePath)) {
            proxy.ProxyModel = std::move(model);
            return proxy.ProxyModel.get();
        }
    }
    return nullptr;
}

bool ResolveProxyModels(TLOD& lod, const TGameData& game)
{
    bool all = true;
    for (const auto& proxy : lod.Proxies)
        if (proxy->ShowModel && !ResolveProxyModel(*proxy, game)) all = false;
    return all;
}

}  // namespace mc
