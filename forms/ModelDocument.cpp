#include "ModelDocument.h"

#include <utility>

#include "Core/AppServices.h"
#include "Core/SafeSave.h"
#include "Core/Strings.h"
#include "Game/GameData.h"
#include "Model/ArchiveModelLoader.h"
#include "Model/Model.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Texture/Texture.h"
#include "Texture/TextureHeaderLookup.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureLoader.h"

namespace mc {

TModelDocument::TModelDocument(TGameData& game, QObject* parent) : QObject(parent), game_(game)
{
    textureCache_.SetSorted(true);
    textureCache_.SetDuplicates(TDuplicates::Error);
}

TModelDocument::~TModelDocument() = default;

TLOD* TModelDocument::CurrentLOD() const { return model_ ? model_->LOD(currentLOD_) : nullptr; }

TProxy* TModelDocument::CurrentProxy() const
{
    const TLOD* lod = CurrentLOD();
    if (!lod || currentProxy_ < 0 || currentProxy_ >= lod->ProxyCount()) return nullptr;
    return lod->Proxies[static_cast<size_t>(currentProxy_)].get();
}

bool TModelDocument::OpenModel(const std::string& name, TModelSource source, std::string* reason)
{
    TLoadResult<TModel> loaded;
    {
        TWaitCursor wait;
        if (source == TModelSource::File) {
            TTextureHeaderLookup headers(game_);
            loaded = ReadModelFromFile(name, &headers);
        } else {
            loaded = ReadModelFromArchives(game_, name);
        }
    }
    if (!loaded) {
        if (reason) *reason = loaded.Reason;
        return false;
    }
    SetModel(loaded.Release(), name);
    return true;
}

void TModelDocument::SetModel(std::unique_ptr<TModel> model, const std::string& fileName)
{
    // The old model's textures and indices go with it; the windows hear of
    // the new one, not of a close. The old model lives until every window
    // has moved on: a repaint between the signals may still read it.
    const std::unique_ptr<TModel> old = std::exchange(model_, std::move(model));
    textureCache_.Clear();
    currentFace_ = currentProxy_ = -1;
    fileName_ = fileName;
    const bool wasModified = modified_;
    modified_ = false;
    if (wasModified) emit ModifiedChanged(false);
    emit FileNameChanged();
    emit ModelOpened();
    // A new model always fills the grids, even at the same LOD index.
    currentLOD_ = -2;
    SelectLOD(0);
}

bool TModelDocument::SaveModel(const std::string& fileName, TModelForm form, uint32_t saveFlags, bool* created,
                               std::string* error)
{
    if (created) *created = false;
    if (!model_) return false;
    bool made = false, saved = false;
    std::string reason;
    {
        TWaitCursor wait;
        model_->SaveFlags = saveFlags;
        try {
            saved = SaveFileSafely(
                fileName,
                [&](TStream& stream) {
                    made = true;
                    return WriteModel(*model_, stream, form);
                },
                &reason);
        } catch (const std::exception& e) {
            saved = false;
            reason = e.what();
        }
    }
    if (made && !saved && !reason.empty()) AddLog(Format("Cannot save \"%s\": %s", fileName.c_str(), reason.c_str()));
    if (created) *created = made;
    if (error) *error = reason;
    if (saved) {
        fileName_ = fileName;
        emit FileNameChanged();
        SetModified(false);
    }
    return saved;
}

void TModelDocument::ClearModel()
{
    // Freed when the windows have let go of it.
    const std::unique_ptr<TModel> old = std::move(model_);
    textureCache_.Clear();
    currentLOD_ = currentFace_ = currentProxy_ = -1;
    fileName_.clear();
    if (modified_) {
        modified_ = false;
        emit ModifiedChanged(false);
    }
    emit ModelCleared();
    emit FileNameChanged();
}

void TModelDocument::SelectLOD(int index)
{
    currentFace_ = -1;
    currentProxy_ = -1;
    if (index != currentLOD_) {
        currentLOD_ = index;
        emit LODSelected(index);
    } else {
        emit LODReselected(index);
    }
}

void TModelDocument::SelectPolygon(int index)
{
    const TLOD* lod = CurrentLOD();
    if (!lod || index < 0 || index >= lod->FaceCount()) return;
    currentFace_ = index;
    ShowTexture(lod->Faces[static_cast<size_t>(index)].Texture);
    emit PolygonSelected(index);
}

void TModelDocument::SelectTextureRow(int textureIndex)
{
    const TLOD* lod = CurrentLOD();
    if (!lod || textureIndex < 0 || textureIndex >= lod->TextureCount()) return;
    currentFace_ = -1;
    ShowTexture(textureIndex);
}

void TModelDocument::ShowTexture(int textureIndex)
{
    std::string name;
    const TTexture* texture = LoadFaceTexture(textureIndex, &name);
    emit TextureShown(texture, QString::fromStdString(name));
}

const TTexture* TModelDocument::LoadFaceTexture(int textureIndex, std::string* nameOut)
{
    if (nameOut) nameOut->clear();
    const TLOD* lod = CurrentLOD();
    if (!lod || textureIndex < 0 || textureIndex >= lod->TextureCount()) return nullptr;
    const std::string name = LowerCase(lod->Textures[static_cast<size_t>(textureIndex)].Name);
    if (nameOut) *nameOut = name;
    if (name.empty()) return nullptr;
    int index;
    if (!textureCache_.Find(name, index)) {
        std::unique_ptr<TTexture> texture;
        try {
            texture = LoadTexture(game_, name, TextureLoad::Display);
        } catch (const std::exception& e) {
            AddLog(Format("Cannot load texture \"%s\": %s", name.c_str(), e.what()));
        }
        // Kept even when it did not load, so that it is not read again.
        index = textureCache_.Add(name, std::move(texture));
    }
    return textureCache_.Object(index).get();
}

int TModelDocument::TextureIndexOf(const TTexture* texture) const
{
    const TLOD* lod = CurrentLOD();
    if (!lod || !texture) return -1;
    for (int i = 0; i < textureCache_.Count(); ++i) {
        if (textureCache_.Object(i).get() != texture) continue;
        const std::string& key = textureCache_.Key(i);
        for (int t = 0; t < lod->TextureCount(); ++t)
            if (SameText(lod->Textures[static_cast<size_t>(t)].Name, key)) return t;
        return -1;
    }
    return -1;
}

void TModelDocument::SelectComponent(TModelComponent* component)
{
    TLOD* lod = CurrentLOD();
    if (!lod || !component) return;
    lod->ClearSelection();
    for (int s = 0; s < lod->SelectionCount(); ++s)
        if (lod->Selections[static_cast<size_t>(s)].get() == component) lod->SelectComponent(s);
    emit ComponentSelected(component);
}

void TModelDocument::SelectProxy(int index)
{
    const TLOD* lod = CurrentLOD();
    if (!lod) return;
    if (index < -1 || index >= lod->ProxyCount()) index = -1;
    if (index == currentProxy_) return;
    currentProxy_ = index;
    emit ProxySelected(index);
}

void TModelDocument::SelectProxy(const TProxy* proxy)
{
    const TLOD* lod = CurrentLOD();
    if (!lod) return;
    int index = -1;
    for (int i = 0; i < lod->ProxyCount(); ++i)
        if (lod->Proxies[static_cast<size_t>(i)].get() == proxy) index = i;
    SelectProxy(index);
}

void TModelDocument::SetModified(bool modified)
{
    if (modified && !model_) return;
    if (modified_ == modified) return;
    modified_ = modified;
    emit ModifiedChanged(modified);
}

void TModelDocument::NotifySelectionChanged() { emit SelectionChanged(); }
void TModelDocument::NotifyPoseChanged() { emit PoseChanged(); }
void TModelDocument::NotifyProxiesChanged() { emit ProxiesChanged(); }

}  // namespace mc
