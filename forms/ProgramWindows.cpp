#include "ProgramWindows.h"

#include "AOptions_F.h"
#include "About_F.h"
#include "AlphaColor_F.h"
#include "GuiServices.h"
#include "Log_F.h"
#include "Main_F.h"
#include "jpeg/TurboJpegDecoder.h"

namespace mc {

std::unique_ptr<TMainForm> CreateProgramWindows()
{
    SetAppServices(&GuiServices());
    InstallTurboJpegDecoder();

    auto main = std::make_unique<TMainForm>();
    // Model view, texture window, preview and archive manager come here.
    new TAlphaColorForm(main.get());
    // Animation window and model catalog come here.
    auto* log = new TLogForm(main.get());
    log->setWindowFlag(Qt::Window);
    new TAboutForm(main.get());
    new TAOptionsForm(main.get());
    return main;
}

}  // namespace mc
