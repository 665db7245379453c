// The program's windows, created in the order the program starts them.
#pragma once

#include <memory>

namespace mc {

class TMainForm;

// Binds the application services and the JPEG decoder, then creates the
// main window and, owned by it, the alpha-channel dialog, the log window,
// the about box and the add-on options dialog, in that order. The windows of
// the model view, texture, preview, archive manager, animation and catalog
// take their places in the order when they are part of the program.
std::unique_ptr<TMainForm> CreateProgramWindows();

}  // namespace mc
