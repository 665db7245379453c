#include "ProgramWindows.h"

#include "AOptions_F.h"
#include "About_F.h"
#include "AlphaColor_F.h"
#include "GuiServices.h"
#include "Log_F.h"
#include "Main_F.h"
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
    auto* view = new TViewForm(*document_, main);
    main->SetWindowCommand(TProgramWindow::Model, [view] {
        view->show();
        view->raise();
        view->activateWindow();
    });
    // Texture window, preview and archive manager come here.
    new TAlphaColorForm(main);
    // Animation window and model catalog come here.
    auto* log = new TLogForm(main);
    log->setWindowFlag(Qt::Window);
    new TAboutForm(main);
    new TAOptionsForm(game_, main);
}

TProgram::~TProgram()
{
    // The windows go before the document and the game data they show.
    main_.reset();
    document_.reset();
}

}  // namespace mc
