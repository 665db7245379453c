// The open model and what the windows share about it: the file it came
// from, the current LOD, polygon and proxy, the textures shown from the
// grids, and whether it was changed since it was opened or saved. Every
// change of these goes through the document, which tells the windows by
// its signals; no window calls another to say that the model changed.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <string>

#include "Core/CustomStringList.h"
#include "ModelSaving.h"

namespace mc {

class TGameData;
class TLOD;
class TModel;
class TModelComponent;
class TProxy;
class TTexture;

enum class TModelSource { File, Archive };

class TModelDocument : public QObject {
    Q_OBJECT
public:
    // The game data the models and textures are read against; it outlives
    // the document.
    explicit TModelDocument(TGameData& game, QObject* parent = nullptr);
    ~TModelDocument() override;

    TGameData& Game() const { return game_; }
    TModel* Model() const { return model_.get(); }
    // The name the model was opened or last saved under (a file path, or a
    // game path inside the archives).
    const std::string& FileName() const { return fileName_; }
    int CurrentLODIndex() const { return currentLOD_; }
    int CurrentFaceIndex() const { return currentFace_; }
    int CurrentProxyIndex() const { return currentProxy_; }
    // nullptr without a model, LOD, polygon or proxy.
    TLOD* CurrentLOD() const;
    TProxy* CurrentProxy() const;

    // Lower-case texture name -> texture shown from the grids (nullptr when
    // it did not load); owns the textures.
    TCustomStringList<std::unique_ptr<TTexture>>& TextureCache() { return textureCache_; }
    const TCustomStringList<std::unique_ptr<TTexture>>& TextureCache() const { return textureCache_; }
    // The position in the current LOD's texture list of the name the texture
    // is cached under; -1 when there is none.
    int TextureIndexOf(const TTexture* texture) const;

    // Loads the model with the busy cursor. On success it replaces the
    // current one: ModelOpened, then LOD 0 is selected. On failure nothing
    // changes and reason (when given) receives why.
    bool OpenModel(const std::string& name, TModelSource source, std::string* reason = nullptr);
    // Takes a model that was loaded elsewhere (tests, drops).
    void SetModel(std::unique_ptr<TModel> model, const std::string& fileName);
    // Writes the model in the form given, under the save flags, through a
    // temporary file renamed into place. created tells whether a file could
    // be made at all; error receives the writer's reason. On success the
    // document takes fileName as its name and is no longer modified.
    bool SaveModel(const std::string& fileName, TModelForm form, uint32_t saveFlags, bool* created = nullptr,
                   std::string* error = nullptr);
    // Frees the model and the cached textures, resets the current indices
    // and sends ModelCleared.
    void ClearModel();

    // The current LOD: when index differs from the current one the polygon
    // and proxy are reset and LODSelected is sent; otherwise LODReselected.
    void SelectLOD(int index);
    // A polygon of the current LOD: its texture is shown (TextureShown),
    // then PolygonSelected. Indices outside the LOD do nothing.
    void SelectPolygon(int index);
    // A row of the current LOD's texture list: no polygon, TextureShown.
    void SelectTextureRow(int textureIndex);
    // The named selection becomes the current LOD's selection.
    void SelectComponent(TModelComponent* component);
    // A proxy of the current LOD (-1: none); ProxySelected when it changes.
    void SelectProxy(int index);
    void SelectProxy(const TProxy* proxy);

    // The texture at an index of the current LOD's list, loaded from the
    // game's archives into the cache when it is not there; nullptr when it
    // cannot be had. name receives its lower-case name.
    const TTexture* LoadFaceTexture(int textureIndex, std::string* name = nullptr);

    // The model was edited (properties, names, values) or saved.
    bool IsModified() const { return modified_; }
    void SetModified(bool modified = true);
    // A window changed the current LOD's selected vertices or faces.
    void NotifySelectionChanged();
    // The model's points were moved by an animation pose.
    void NotifyPoseChanged();
    // The model's proxies were switched on or off for showing.
    void NotifyProxiesChanged();

signals:
    void ModelOpened();
    void LODSelected(int index);
    void LODReselected(int index);
    void ModelCleared();
    void TextureShown(const mc::TTexture* texture, const QString& name);
    void PolygonSelected(int index);
    void ComponentSelected(mc::TModelComponent* component);
    void ProxySelected(int index);
    void SelectionChanged();
    void PoseChanged();
    void ProxiesChanged();
    void ModifiedChanged(bool modified);
    void FileNameChanged();

private:
    void ShowTexture(int textureIndex);

    TGameData& game_;
    std::unique_ptr<TModel> model_;
    std::string fileName_;
    int currentLOD_ = -1;
    int currentFace_ = -1;
    int currentProxy_ = -1;
    bool modified_ = false;
    TCustomStringList<std::unique_ptr<TTexture>> textureCache_;
};

}  // namespace mc
