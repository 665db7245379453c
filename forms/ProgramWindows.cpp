#include "ProgramWindows.h"

#include "AOptions_F.h"
#include "Animation_F.h"
#include "About_F.h"
#include "AlphaColor_F.h"
#include "GltfExportCommand.h"
#include "GuiServices.h"
#include "Log_F.h"
#include "MList.h"
#include "Core/Stream.h"
#include "MPreview_F.h"
#include "Main_F.h"
#include "Pb_F.h"
#include "Texture_F.h"
#include "Model/Model.h"
#include "Model/ProxyModels.h"
#include "Texture/Texture.h"
#include "View_F.h"
#include "jpeg/TurboJpegDecoder.h"

namespace mc {

TProgram::TProgram()
{
    SetAppServices(&GuiServices());
    InstallTurboJpegDecoder();

    document_ = std::make_unique<TModelDocument>(game_);
    main_ = std::make_unique<TMainForm>(*document_);
    TMainForm* main = main_.get();
    AddGltfExportCommand(*main, *document_);
    TViewForm* view = CreateModelView(main);
    CreateTextureWindow(main);
    CreatePreview(main);
    TPbForm* pb = CreatePbManager(main);
    new TAlphaColorForm(main);
    TAnimationForm* animation = CreateAnimationWindow(main, pb, view);
    TMListForm* catalog = CreateCatalog(main);
    // Closing asks the catalog about its templates, then the animation
    // window about its animation.
    main->AddCloseQuery([catalog] { return catalog->QueryClose(); });
    main->AddCloseQuery([animation] { return animation->QueryDropAnimation(); });
    auto* log = new TLogForm(main);
    log->setWindowFlag(Qt::Window);
    new TAboutForm(main);
    new TAOptionsForm(game_, main);
}

namespace {

// Shows a tool window above the others.
void ShowWindow(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

// What the texture window reads of the open model: the document's current
// LOD and face and its texture cache.
class TDocumentTextureSource : public ITextureFormSource {
public:
    explicit TDocumentTextureSource(const TModelDocument& document) : document_(document) {}
    const TLOD* CurrentLOD() const override { return document_.CurrentLOD(); }
    int CurrentFaceIndex() const override { return document_.CurrentFaceIndex(); }
    int TextureIndexOf(const TTexture* texture) const override { return document_.TextureIndexOf(texture); }

private:
    const TModelDocument& document_;
};

}  // namespace

TViewForm* TProgram::CreateModelView(TMainForm* main)
{
    auto* view = new TViewForm(*document_, main);
    main->SetWindowCommand(TProgramWindow::Model, [view] { ShowWindow(view); });
    return view;
}

void TProgram::CreateTextureWindow(TMainForm* main)
{
    textureSource_ = std::make_unique<TDocumentTextureSource>(*document_);
    auto* texture = new TTextureForm(*textureSource_, main);
    texture->setWindowFlag(Qt::Window);
    TModelDocument& doc = *document_;
    main->SetWindowCommand(TProgramWindow::Texture, [texture] { ShowWindow(texture); });
    QObject::connect(&doc, &TModelDocument::TextureShown, texture,
                     [texture](const TTexture* shown, const QString& name) {
                         texture->SetTexture(shown);
                         texture->SetTextureName(name.toStdString());
                     });
    // A selected face arrives as TextureShown then PolygonSelected:
    // SetTexture has already drawn the new face's outline, so the polygon
    // notification needs no second picture.
    QObject::connect(&doc, &TModelDocument::LODSelected, texture, [texture] { texture->Refresh(); });
    QObject::connect(&doc, &TModelDocument::ModelCleared, texture, [texture] {
        texture->SetTexture(nullptr);
        texture->SetTextureName({});
    });
}

TPbForm* TProgram::CreatePbManager(TMainForm* main)
{
    auto* pb = new TPbForm(TPbGameAccess{&game_.PbList, game_.GameFolder}, main);
    // The game folder is known only after the start-up: the open dialog of
    // "Add" starts in the current one.
    main->SetWindowCommand(TProgramWindow::PbManager, [this, pb] {
        pb->GameFolder = game_.GameFolder;
        ShowWindow(pb);
    });
    main->SetModelPicker(TModelPicker::Archives, [this, pb] { return PickInArchives(pb); });
    return pb;
}

std::optional<std::string> TProgram::PickInArchives(TPbForm* pb)
{
    pb->GameFolder = game_.GameFolder;
    std::string name = pb->PickModel();
    if (name.empty()) return std::nullopt;
    return name;
}

void TProgram::CreatePreview(TMainForm* main)
{
    auto* preview = new TMPreviewForm(main);
    TModelDocument& doc = *document_;
    preview->SetTextureSource(
        [this](const std::string& name) -> std::unique_ptr<TStream> { return game_.PbList.Extract(name); });
    preview->SetProxyResolver([this](TLOD& lod) { ResolveProxyModels(lod, game_); });
    main->SetWindowCommand(TProgramWindow::Preview, [preview] { ShowWindow(preview); });
    QObject::connect(&doc, &TModelDocument::ModelOpened, preview, [preview, &doc] {
        preview->SetSelectedFace(-1);
        preview->SetModel(doc.Model());
    });
    QObject::connect(&doc, &TModelDocument::ModelCleared, preview, [preview] {
        preview->SetSelectedFace(-1);
        preview->SetCurrentLOD(-1);
        preview->SetModel(nullptr);
    });
    QObject::connect(&doc, &TModelDocument::LODSelected, preview, [preview, &doc](int index) {
        preview->SetSelectedFace(doc.CurrentFaceIndex());
        preview->SetCurrentLOD(index);
    });
    QObject::connect(&doc, &TModelDocument::PolygonSelected, preview, [preview](int index) { preview->SetSelectedFace(index); });
    QObject::connect(&doc, &TModelDocument::SelectionChanged, preview, [preview] { preview->Rebuild(); });
    QObject::connect(&doc, &TModelDocument::ProxiesChanged, preview, [preview] { preview->Rebuild(); });
    QObject::connect(&doc, &TModelDocument::PoseChanged, preview, [preview] { preview->GeometryChanged(); });
}

TAnimationForm* TProgram::CreateAnimationWindow(TMainForm* main, TPbForm* pb, TViewForm* view)
{
    auto* animation = new TAnimationForm(*document_, main);
    TModelDocument& doc = *document_;
    main->SetWindowCommand(TProgramWindow::Animation, [animation] { ShowWindow(animation); });
    // "Browse..." picks with the archive manager, as the model picker does.
    animation->SetArchivePicker([this, pb] { return PickInArchives(pb); });
    animation->SetToolBar([view](TViewAnimationCommands commands) { view->SetAnimationCommands(std::move(commands)); });
    QObject::connect(&doc, &TModelDocument::LODSelected, animation, [animation] { animation->LODChanged(); });
    QObject::connect(&doc, &TModelDocument::LODReselected, animation, [animation] { animation->LODChanged(); });
    QObject::connect(&doc, &TModelDocument::ModelCleared, animation, [animation] { animation->ModelClearedNotify(); });
    return animation;
}

TMListForm* TProgram::CreateCatalog(TMainForm* main)
{
    auto* catalog = new TMListForm(game_, main);
    main->SetWindowCommand(TProgramWindow::Catalog, [catalog] { ShowWindow(catalog); });
    main->SetModelPicker(TModelPicker::Catalog, [catalog] { return catalog->Choose(); });
    return catalog;
}

TProgram::~TProgram()
{
    // The windows go before the document and the game data they show.
    main_.reset();
    document_.reset();
}

}  // namespace mc
