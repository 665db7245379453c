// Writes the demo data into the folder given on the command line.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Core/FilePaths.h"
#include "DemoModel.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "Usage: meshcraft-make-demo OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = mc::PathFromUtf8(argv[1]);
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    auto crate = mc::demo::MakeCrateModel();
    std::string error;
    const std::string path = mc::PathToUtf8(out / "box.p3d");
    if (!mc::SaveModelOdolFile(*crate, path, &error)) {
        std::fprintf(stderr, "Cannot write \"%s\": %s\n", path.c_str(), error.c_str());
        return 1;
    }
    return 0;
}
