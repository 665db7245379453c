// The program: its game data, the model document and the windows, created
// in the order the program starts them.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Game/GameData.h"
#include "ModelDocument.h"

namespace mc {

class ITextureFormSource;
class TAnimationForm;
class TMainForm;
class TMListForm;
class TPbForm;
class TViewForm;

class TProgram {
public:
    // Binds the application services and the JPEG decoder, then creates the
    // main window and, in their order, the windows around it: each gets the
    // document and hooks its menu entries into the main window.
    TProgram();
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    TGameData& Game() { return game_; }
    TModelDocument& Document() { return *document_; }
    TMainForm& MainWindow() { return *main_; }

private:
    // The windows around the main window, each following the document.
    TViewForm* CreateModelView(TMainForm* main);
    void CreateTextureWindow(TMainForm* main);
    void CreatePreview(TMainForm* main);
    TPbForm* CreatePbManager(TMainForm* main);
    TAnimationForm* CreateAnimationWindow(TMainForm* main, TPbForm* pb, TViewForm* view);
    TMListForm* CreateCatalog(TMainForm* main);
    // The archive manager as picker: a game path, or nothing when cancelled.
    // Its open dialog starts in the game folder found at start-up.
    std::optional<std::string> PickInArchives(TPbForm* pb);

    TGameData game_;
    std::unique_ptr<TModelDocument> document_;
    std::unique_ptr<ITextureFormSource> textureSource_;
    std::unique_ptr<TMainForm> main_;
};

}  // namespace mc
