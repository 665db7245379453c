// Writes the demo game folder into the folder given on the command line.
#include <cstdio>
#include <string>

#include "Core/FilePaths.h"
#include "DemoGame.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: meshcraft-make-demo-game OUTDIR\n");
        return 2;
    }
    std::string error;
    if (!mc::demo::WriteDemoGame(mc::PathFromUtf8(argv[1]), error)) {
        std::fprintf(stderr, "meshcraft-make-demo-game: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
