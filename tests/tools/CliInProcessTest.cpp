// The command-line tool's commands run in one process, as a test or a batch
// job would: each command builds its own game data, so two conversions over
// two archive folders do not see each other's archives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "texture/TextureFiles.h"
#include "CliArgs.h"
#include "Commands.h"
#include "Core/FilePaths.h"
#include "DemoModel.h"
#include "Model/Model.h"
#include "Model/ModelLoader.h"
#include "Model/ModelTypes.h"
#include "TestSupport.h"
#include "Texture/TextureTypes.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

int RunCommand(const std::string& group, const std::string& name, const std::vector<std::string>& args)
{
    for (const cli::TCommand& c : cli::AllCommands())
        if (group == c.Group && name == c.Name) return c.Run(cli::ParseArgs(args, c.Spec));
    ADD_FAILURE() << "no command " << group << " " << name;
    return -1;
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// An archive "data" holding crate_co.paa, transparent or not, packed by the
// tool's own command.
void WriteTextureArchive(const fs::path& folder, bool transparent)
{
    const fs::path source = folder / "source";
    WriteFile(source / "crate_co.paa",
              MakeTexture(kTextureTypeARGB4444, {{4, 4}}, transparent ? 0x80FFFFFFu : 0xFFFFFFFFu));
    ASSERT_EQ(RunCommand("pbo", "pack", {PathToUtf8(source), PathToUtf8(folder / "data.pbo")}), cli::ExitOk);
    fs::remove_all(source);
}

uint32_t FirstFaceFlags(const fs::path& file)
{
    const auto model = LoadModelFromFile(PathToUtf8(file));
    if (!model || model->LODs.empty() || model->LODs[0]->Faces.empty()) return 0xFFFFFFFF;
    return model->LODs[0]->Faces[0].Flags;
}

}  // namespace

TEST(CliInProcess, ConversionsOverTwoArchiveFoldersDoNotInterfere)
{
    const fs::path dir = TempDir("cli_inprocess");
    const fs::path mlod = dir / "crate.p3d";
    ASSERT_TRUE(SaveModelMlodFile(*demo::MakeCrateModel(), PathToUtf8(mlod)));
    WriteTextureArchive(dir / "a", true);
    WriteTextureArchive(dir / "b", false);

    const auto convert = [&](const char* archives, const char* out) {
        return RunCommand("p3d", "convert",
                          {"--to", "odol", "--archives", PathToUtf8(dir / archives), PathToUtf8(mlod),
                           PathToUtf8(dir / out)});
    };
    ASSERT_EQ(convert("a", "a1.p3d"), cli::ExitOk);
    ASSERT_EQ(convert("b", "b.p3d"), cli::ExitOk);
    ASSERT_EQ(convert("a", "a2.p3d"), cli::ExitOk);

    const uint32_t transparentBits = FaceFlags::Transparent | FaceFlags::AlphaOther;
    EXPECT_EQ(FirstFaceFlags(dir / "a1.p3d") & transparentBits, transparentBits);
    EXPECT_EQ(FirstFaceFlags(dir / "b.p3d") & transparentBits, 0u);
    EXPECT_EQ(FirstFaceFlags(dir / "a2.p3d"), FirstFaceFlags(dir / "a1.p3d"));
}
