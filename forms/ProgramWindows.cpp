#include "ProgramWindows.h"

#include "AOptions_F.h"
#include "About_F.h"
#include "AlphaColor_F.h"
#include "GltfExportCommand.h"
#include "GuiServices.h"
#include "Log_F.h"
#include "Core/Stream.h"
#include "MPreview_F.h"
#include "Main_F.h"
#include "Model/Model.h"
#include "Model/ProxyModels.h"
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
    // Model view and texture window come here.
    CreatePreview(main);
    // Archive manager comes here.
    new TAlphaColorForm(main);
    // Animation window and model catalog come here.
    auto* log = new TLogForm(main);
    log->setWindowFlag(Qt::Window);
    new TAboutForm(main);
    new TAOptionsForm(game_, main);
}

void TProgram::CreatePreview(TMainForm* main)
{
    auto* preview = new TMPreviewForm(main);
    TModelDocument& doc = *document_;
    preview->SetTextureSource(
        [this](const std::string& name) -> std::unique_ptr<TStream> { return game_.PbList.Extract(name); });
    preview->SetProxyResolver([this](TLOD& lod) { ResolveProxyModels(lod, game_); });
    main->SetWindowCommand(TProgramWindow::Preview, [preview] {
        preview->show();
        preview->raise();
        preview->activateWindow();
    });
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

TProgram::~TProgram()
{
    // The windows go before the document and the game data they show.
    main_.reset();
    document_.reset();
}

}  // namespace mc
