// The three model reports: their lines and when they are written.
#include <gtest/gtest.h>

#include <filesystem>

#include "Core/Stream.h"
#include "Core/Strings.h"
#include "DemoModel.h"
#include "Model/DerivedData.h"
#include "Model/Model.h"
#include "Model/ModelChecks.h"
#include "TestSupport.h"

using namespace mc;

namespace {

std::vector<std::string> Report(const TModel& m, void (*write)(const TModel&, TStream&))
{
    TMemoryStream s;
    write(m, s);
    std::vector<std::string> lines;
    const std::string text(s.Bytes().begin(), s.Bytes().end());
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

void WriteMass(const TModel& m, TStream& s) { WriteMassReport(m, s); }

bool Has(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

TEST(ModelChecks, MassReport)
{
    auto m = demo::MakeCrateModel();
    TLOD& geometry = *m->LOD(1);
    geometry.Masses.assign(8, 0.0f);
    geometry.Positions[3].x = 20000;
    auto lines = Report(*m, WriteMass);
    ASSERT_EQ(lines.size(), 1u + 8 + 3 + 3 + 5);
    EXPECT_EQ(lines[0], "Mass Center: 0.000000 0.500000 0.000000");
    EXPECT_EQ(lines[1], "0 (0) M=0.000000 L=0.866025 F=0.000000");
    EXPECT_EQ(lines[9], "Total Mass: 0.000000");
    EXPECT_EQ(lines[10], "Calculated Mass Center: -0.500000 0.000000 -0.500000");  // vertex 0
    EXPECT_EQ(lines[11], "");
    EXPECT_EQ(lines[13], "Calculated Geometry Center: 9999.750000 0.500000 0.000000");
    EXPECT_EQ(lines[17], "Calculated RangeA: -0.500000 0.000000 -0.500000");
    EXPECT_EQ(lines[18], "Calculated RangeB: 20000.000000 1.000000 0.500000");
    EXPECT_EQ(lines[19], "");

    geometry.Masses = {1, 2, 3, 4, 5, 6, 7, 8};
    lines = Report(*m, WriteMass);
    EXPECT_EQ(lines[2], "1 (1) M=2.000000 L=0.866025 F=1.732051");
    EXPECT_EQ(lines[9], "Total Mass: 36.000000");
    float mass;
    Vector3 center;
    ComputeMassCenter(geometry, mass, center);
    EXPECT_EQ(lines[10], Format("Calculated Mass Center: %.6f %.6f %.6f", center.x, center.y, center.z));

    geometry.Masses.clear();
    TMemoryStream none;
    EXPECT_FALSE(WriteMassReport(*m, none));
    EXPECT_EQ(none.Size(), 0);
}

TEST(ModelChecks, NormalsReport)
{
    auto m = demo::MakeCrateModel();
    // Flat sides: each vertex takes its face's own normal.
    TLOD& crate = *m->LOD(0);
    for (const TFace& f : crate.Faces) {
        const auto& v = f.Vertices;
        const Vector3 n =
            Normalize(Cross(crate.Positions[v[1]] - crate.Positions[v[0]], crate.Positions[v[2]] - crate.Positions[v[0]]));
        for (int k = 0; k < 4; ++k) crate.Normals[v[static_cast<size_t>(k)]] = n;
    }
    const auto lines = Report(*m, WriteNormalsReport);
    EXPECT_EQ(lines[0], "LOD0");
    EXPECT_EQ(lines[1], "P0");
    EXPECT_EQ(lines[2], "*N1: 0.000000000 0.000000000 -1.000000000");
    EXPECT_EQ(lines[3], "N1: 0.000000000 0.000000000 -1.000000000");
    EXPECT_EQ(lines[4], "N2: 0.000000 0.000000 -1.000000");
    EXPECT_EQ(lines[6], "*N2: 0.000000 -0.000000 -1.000000");
    EXPECT_EQ(lines[8], "P1");  // a quad writes seven lines
    for (int p = 0; p < 8; ++p) EXPECT_TRUE(Has(lines, "G" + std::to_string(p))) << p;
    EXPECT_EQ(lines[1 + 6 * 7 + 8], "");

    // The Memory LOD's triangle: five lines; its zero normals are not flat.
    const auto memory = std::find(lines.begin(), lines.end(), "LOD2");
    ASSERT_NE(memory, lines.end());
    EXPECT_EQ(memory[1], "P0");
    EXPECT_EQ(memory[6], "");
    EXPECT_EQ(memory + 7, lines.end());

    // Smooth: normals from the centre, nothing flat.
    for (size_t v = 0; v < crate.Positions.size(); ++v)
        crate.Normals[v] = Normalize(crate.Positions[v] - Vector3{0, 0.5f, 0});
    const auto smooth = Report(*m, WriteNormalsReport);
    EXPECT_EQ(std::count_if(smooth.begin(), smooth.end(), [](const std::string& l) { return l.starts_with("G"); }), 0);
}

TEST(ModelChecks, UVReport)
{
    auto m = demo::MakeCrateModel();
    m->LOD(0)->Textures.push_back({"unused.paa"});
    const auto lines = Report(*m, WriteUVReport);
    // The last vertex of the last face: u = 1, v = 1.
    EXPECT_EQ(lines, (std::vector<std::string>{"LOD0", "T0 00004004", "T1 00000000", "LOD1", "LOD2"}));

    m->LOD(0)->UVs[m->LOD(0)->Faces[5].Vertices[3]] = {-0.5f, 2};
    EXPECT_EQ(Report(*m, WriteUVReport)[1], "T0 00008001");
    m->LOD(0)->UVs[m->LOD(0)->Faces[5].Vertices[3]] = {0.5f, 0};
    EXPECT_EQ(Report(*m, WriteUVReport)[1], "T0 00002000");
}

TEST(ModelChecks, ReportFiles)
{
    const auto dir = test::TempDir("modelchecks");
    auto m = demo::MakeCrateModel();
    for (TModelCheck check : {TModelCheck::Mass, TModelCheck::Normals, TModelCheck::UV}) {
        EXPECT_EQ(WriteModelCheck(*m, check, dir.string()), TCheckResult::Written);
        EXPECT_TRUE(std::filesystem::exists(dir / ModelCheckFileName(check)));
    }
    EXPECT_EQ(WriteModelCheck(*m, TModelCheck::UV, (dir / "missing").string()), TCheckResult::Failed);

    TModel empty;
    EXPECT_EQ(WriteModelCheck(empty, TModelCheck::Mass, (dir / "missing").string()), TCheckResult::NothingToCheck);

    // The menu command writes into the current folder and says "Ok"; with
    // nothing to check it says nothing.
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    test::TRecordingServices rec;
    std::filesystem::remove(dir / "uv.txt");
    RunModelCheck(*m, TModelCheck::UV);
    RunModelCheck(empty, TModelCheck::Mass);
    std::filesystem::current_path(previous);
    EXPECT_EQ(rec.Messages, std::vector<std::string>{"Ok"});
    EXPECT_TRUE(std::filesystem::exists(dir / "uv.txt"));
    std::filesystem::remove_all(dir);
}
