// The program: its game data, the model document and the windows, created
// in the order the program starts them.
#pragma once

#include <memory>
#include <vector>

#include "Game/GameData.h"
#include "ModelDocument.h"

namespace mc {

class ITextureFormSource;
class TMainForm;

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
    void CreateModelView(TMainForm* main);
    void CreateTextureWindow(TMainForm* main);
    void CreatePreview(TMainForm* main);
    void CreatePbManager(TMainForm* main);
    void CreateAnimationWindow(TMainForm* main);
    void CreateCatalog(TMainForm* main);

    TGameData game_;
    std::unique_ptr<TModelDocument> document_;
    std::unique_ptr<ITextureFormSource> textureSource_;
    std::unique_ptr<TMainForm> main_;
};

}  // namespace mc
