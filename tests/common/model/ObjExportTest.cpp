// Wavefront OBJ export: file names, the lines of a LOD, grouped vertices.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "Core/Stream.h"
#include "DemoModel.h"
#include "Model/Model.h"
#include "Model/ObjExport.h"
#include "TestSupport.h"

using namespace mc;

namespace {

std::string ObjText(const TLOD& lod)
{
    TMemoryStream s;
    WriteObjLOD(lod, s);
    return std::string(s.Bytes().begin(), s.Bytes().end());
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

size_t CountPrefix(const std::vector<std::string>& lines, const std::string& prefix)
{
    return static_cast<size_t>(
        std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
}

}  // namespace

TEST(ObjExport, FileNamePerLOD)
{
    EXPECT_EQ(ObjLODFileName("tank.obj", 2), "tank.2.obj");
    EXPECT_EQ(ObjLODFileName("tank", 0), "tank.0.obj");
    EXPECT_EQ(ObjLODFileName("out/my.models/tank", 1), "out/my.models/tank.1.obj");
    EXPECT_EQ(ObjLODFileName("a.b.OBJ", 3), "a.b.3.OBJ");
}

TEST(ObjExport, OneTriangleLineByLine)
{
    TModel m;
    TLOD& lod = *m.AddLOD();
    lod.Positions = {{1, 2, 3}, {0, 0, 0}, {-0.5f, 0.25f, 1e-7f}};
    lod.Normals = {{0, 1, 0}, {0, 1, 0}, {1, 0, 0}};
    lod.UVs = {{0.5f, 1}, {0, 0}, {1, 0.125f}};
    lod.PointToVertex = {0, 1, 2};
    lod.VertexToPoint = {0, 1, 2};
    lod.Faces = {TFace{0, 0, 3, {0, 1, 2, 0}}};
    lod.Textures = {{"data\\a.paa"}};
    auto sel = std::make_unique<TModelComponent>(&lod);
    sel->Name = "proxy:ladder.01";
    sel->Faces = {0};
    sel->Vertices = {2};
    lod.Selections.push_back(std::move(sel));
    lod.AddProperty("class", "house");
    EXPECT_EQ(Lines(ObjText(lod)), (std::vector<std::string>{
                                       "g default",
                                       "",
                                       "#vertices",
                                       "v 1.000000 3.000000 2.000000",
                                       "v 0.000000 0.000000 0.000000",
                                       "v -0.500000 0.000000 0.250000",
                                       "",
                                       "#normals",
                                       "vn -0.000000 -0.000000 -1.000000",
                                       "vn -0.000000 -0.000000 -1.000000",
                                       "vn -1.000000 -0.000000 -0.000000",
                                       "",
                                       "#uv mapping",
                                       "vt 0.500000 1.000000",
                                       "vt 0.000000 0.000000",
                                       "vt 1.000000 0.125000",
                                       "",
                                       "#faces",
                                       "f 1/1/1 3/3/3 2/2/2",
                                       "",
                                       "#texture list",
                                       "# \"data\\a.paa\"",
                                       "",
                                       "#objects",
                                       "#component 1 \"proxy:ladder.01\"",
                                       "g proxy_ladder_01",
                                       "f 1/1/1 3/3/3 2/2/2",
                                       "p 3",
                                       "",
                                       "#named property list",
                                       "# \"class\"=\"house\"",
                                       "",
                                       "#end",
                                   }));
}

TEST(ObjExport, GroupedVerticesListPoints)
{
    auto m = demo::MakeCrateModel();
    m->SaveFlags = SaveFlags::GroupedVertices;
    auto lines = Lines(ObjText(*m->LOD(0)));
    EXPECT_EQ(CountPrefix(lines, "v "), 8u);
    EXPECT_EQ(CountPrefix(lines, "vn "), 24u);
    EXPECT_EQ(CountPrefix(lines, "vt "), 24u);
    for (const std::string& l : lines) {
        if (!l.starts_with("f ")) continue;
        std::istringstream in(l.substr(2));
        std::string corner;
        while (in >> corner) {
            EXPECT_LE(std::stoi(corner), 8) << l;
            EXPECT_LE(std::stoi(corner.substr(corner.rfind('/') + 1)), 24) << l;
        }
    }
    m->SaveFlags = 0;
    lines = Lines(ObjText(*m->LOD(0)));
    EXPECT_EQ(CountPrefix(lines, "v "), 24u);

    // Without selections "#objects" is followed by the property list.
    lines = Lines(ObjText(*m->LOD(1)));
    const auto objects = std::find(lines.begin(), lines.end(), "#objects");
    ASSERT_NE(objects, lines.end());
    EXPECT_EQ(objects[1], "#named property list");
}

TEST(ObjExport, EveryLODToItsOwnFile)
{
    const auto dir = test::TempDir("objexport");
    auto m = demo::MakeCrateModel();
    std::string error;
    ASSERT_TRUE(ExportObj(*m, (dir / "tank.obj").string(), &error)) << error;
    for (int i = 0; i < 3; ++i) {
        const auto path = dir / ("tank." + std::to_string(i) + ".obj");
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        const auto bytes = test::ReadFileBytes(path);
        const auto lines = Lines(std::string(bytes.begin(), bytes.end()));
        ASSERT_GT(lines.size(), 5u);
        EXPECT_EQ(lines[0], "#Exported by Meshcraft v0.28");
        EXPECT_TRUE(lines[1].starts_with("#Visit ") && lines[1].ends_with(" for more info.")) << lines[1];
        EXPECT_EQ(lines[2], "#Model: \"crate.p3d\"");
        EXPECT_EQ(lines[3], "#LOD " + std::to_string(i) + " (" + m->LOD(i)->Name() + ")");
        EXPECT_EQ(lines[4], "");
        EXPECT_EQ(lines[5], "g default");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 3);

    // A folder that is not there: every file is reported, none written.
    EXPECT_FALSE(ExportObj(*m, (dir / "missing" / "tank.obj").string(), &error));
    EXPECT_NE(error.find("Cannot create file \"" + (dir / "missing" / "tank.2.obj").string() + "\""), std::string::npos)
        << error;

    test::TRecordingServices rec;
    RunObjExport(*m, (dir / "missing" / "tank").string());
    ASSERT_EQ(rec.Messages.size(), 4u);
    EXPECT_EQ(rec.Messages[0], "Cannot create file \"" + (dir / "missing" / "tank.0.obj").string() + "\"");
    EXPECT_EQ(rec.Messages[3], "Export process done");
    std::filesystem::remove_all(dir);
}
