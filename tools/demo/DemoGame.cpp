#include "DemoGame.h"

#include <cmath>
#include <functional>
#include <system_error>
#include <vector>

#include "Animation/Animation.h"
#include "Archive/PbFile.h"
#include "Config/Resources.h"
#include "Config/StringTable.h"
#include "Core/FilePaths.h"
#include "Core/FindFiles.h"
#include "Core/SafeSave.h"
#include "Core/Stream.h"
#include "DemoAnimation.h"
#include "DemoDocuments.h"
#include "DemoModel.h"
#include "DemoTexture.h"
#include "Model/Model.h"
#include "Model/Odol.h"

namespace mc::demo {

namespace fs = std::filesystem;

namespace {

constexpr float kPi = 3.14159265f;

// Adds a vertex of point p; the first vertex of a point is its entry.
uint16_t AddVertex(TLOD& lod, uint16_t point, Vector3 position, Vector3 normal, TUV uv)
{
    const auto v = static_cast<uint16_t>(lod.Positions.size());
    lod.Positions.push_back(position);
    lod.Normals.push_back(normal);  // held as it looks: outwards
    lod.UVs.push_back(uv);
    lod.VertexToPoint.push_back(point);
    if (point >= lod.PointToVertex.size()) lod.PointToVertex.resize(point + 1u, 0xFFFF);
    if (lod.PointToVertex[point] == 0xFFFF) lod.PointToVertex[point] = v;
    return v;
}

void AddFace(TLOD& lod, std::initializer_list<uint16_t> vertices, uint16_t texture)
{
    TFace face;
    face.Flags = 0x0000C000;
    face.Texture = texture;
    face.Count = static_cast<uint8_t>(vertices.size());
    int k = 0;
    for (uint16_t v : vertices) face.Vertices[static_cast<size_t>(k++)] = v;
    lod.Faces.push_back(face);
}

Vector3 Rim(int i, int n, float radius, float y)
{
    const float a = 2 * kPi * static_cast<float>(i) / static_cast<float>(n);
    return {radius * std::cos(a), y, radius * std::sin(a)};
}

// Sides, bottom and top of a prism; points 0..n-1 at the bottom, n..2n-1 at
// the top. With texture < 0 the faces have none and vertices are points.
void FillPrism(TLOD& lod, int n, float radius, float height, int texture)
{
    const auto tex = texture < 0 ? kNoTexture : static_cast<uint16_t>(texture);
    auto body = std::make_unique<TModelComponent>(&lod);
    body->Name = "body";
    auto top = std::make_unique<TModelComponent>(&lod);
    top->Name = "top";
    if (texture < 0) {
        for (int i = 0; i < n; ++i) AddVertex(lod, static_cast<uint16_t>(i), Rim(i, n, radius, 0), {}, {});
        for (int i = 0; i < n; ++i) AddVertex(lod, static_cast<uint16_t>(n + i), Rim(i, n, radius, height), {}, {});
        for (int i = 0; i < n; ++i) {
            const auto a = static_cast<uint16_t>(i), b = static_cast<uint16_t>((i + 1) % n);
            AddFace(lod, {a, static_cast<uint16_t>(n + a), static_cast<uint16_t>(n + b), b}, tex);
        }
        for (int i = 1; i + 1 < n; ++i) {
            AddFace(lod, {0, static_cast<uint16_t>(i), static_cast<uint16_t>(i + 1)}, tex);
            AddFace(lod, {static_cast<uint16_t>(n), static_cast<uint16_t>(n + i + 1), static_cast<uint16_t>(n + i)}, tex);
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        const Vector3 mid = Rim(2 * i + 1, 2 * n, 1, 0);
        const float u0 = static_cast<float>(i) / static_cast<float>(n), u1 = static_cast<float>(i + 1) / static_cast<float>(n);
        const uint16_t v0 = AddVertex(lod, static_cast<uint16_t>(i), Rim(i, n, radius, 0), mid, {u0, 1});
        const uint16_t v1 = AddVertex(lod, static_cast<uint16_t>(j), Rim(j, n, radius, 0), mid, {u1, 1});
        const uint16_t v2 = AddVertex(lod, static_cast<uint16_t>(n + j), Rim(j, n, radius, height), mid, {u1, 0});
        const uint16_t v3 = AddVertex(lod, static_cast<uint16_t>(n + i), Rim(i, n, radius, height), mid, {u0, 0});
        body->Faces.push_back(static_cast<uint16_t>(lod.Faces.size()));
        AddFace(lod, {v0, v3, v2, v1}, tex);  // held corners: seen clockwise from outside
        for (uint16_t v : {v0, v1, v2, v3}) body->Vertices.push_back(v);
    }
    std::vector<uint16_t> bottomRing, topRing;
    for (int i = 0; i < n; ++i) {
        const Vector3 b = Rim(i, n, radius, 0), t = Rim(i, n, radius, height);
        const TUV uv{0.5f + 0.5f * b.x / radius, 0.5f + 0.5f * b.z / radius};
        bottomRing.push_back(AddVertex(lod, static_cast<uint16_t>(i), b, {0, -1, 0}, uv));
        topRing.push_back(AddVertex(lod, static_cast<uint16_t>(n + i), t, {0, 1, 0}, uv));
    }
    for (int i = 1; i + 1 < n; ++i) {
        AddFace(lod, {bottomRing[0], bottomRing[static_cast<size_t>(i)], bottomRing[static_cast<size_t>(i + 1)]}, tex);
        top->Faces.push_back(static_cast<uint16_t>(lod.Faces.size()));
        AddFace(lod, {topRing[0], topRing[static_cast<size_t>(i + 1)], topRing[static_cast<size_t>(i)]}, tex);
    }
    top->Vertices = topRing;
    lod.Selections.push_back(std::move(body));
    lod.Selections.push_back(std::move(top));
}

void FinishModel(TModel& model, Vector3 lo, Vector3 hi, float mass)
{
    model.RangeA = lo;
    model.RangeB = hi;
    model.BoundingRadius = std::max(Length(lo), Length(hi));
    model.GeometryCenter = (lo + hi) / 2;
    model.MassCenter = (lo + hi) / 2;
    model.AimPoint = (lo + hi) / 2;
    model.Mass = mass;
    model.ExtentX = hi.x - lo.x;
    model.ExtentY = hi.z - lo.z;
    model.InfoFlags = {0, 0, 0, 1, 0};
    model.InfoTail = {0.1f, 200.0f, 0.005f};
    model.InfoMatrix = {Vector3{1, 0, 0}, Vector3{0, 1, 0}, Vector3{0, 0, 1}};
}

// Writes a file through write, making its folder first.
bool WriteThrough(const fs::path& path, const std::function<bool(TStream&)>& write, std::string& error)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    return SaveFileSafely(PathToUtf8(path), write, &error);
}

bool WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    return WriteThrough(path, [&](TStream& s) { return s.Write(bytes.data(), bytes.size()) == bytes.size(); }, error);
}

bool WriteText(const fs::path& path, const std::string& text, std::string& error)
{
    return WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()), error);
}

bool WriteModel(const fs::path& path, const TModel& model, std::string& error)
{
    return WriteThrough(path, [&](TStream& s) { return SaveOdol(model, s); }, error);
}

bool WriteAnimation(const fs::path& path, const TAnimation& animation, std::string& error)
{
    return WriteThrough(
        path,
        [&](TStream& s) {
            animation.SaveToStream(s);
            return true;
        },
        error);
}

// Packs every file below staging into archive and removes staging.
bool Pack(const fs::path& staging, const fs::path& archive, std::string& error)
{
    std::error_code ec;
    fs::create_directories(archive.parent_path(), ec);
    std::vector<std::string> files;
    FindFiles(PathToUtf8(staging), "*.*", files, true);
    TPbFile pb;
    bool ok = pb.CreateNew(PathToUtf8(archive));
    if (ok) {
        pb.SetSourcePrefix(PathToUtf8(staging));
        ok = pb.AddSourceFiles(files) && pb.WriteArchive();
    }
    if (!ok) error = "Cannot write \"" + PathToUtf8(archive) + "\": " + pb.LastError();
    pb.Files.Clear();
    fs::remove_all(staging, ec);
    return ok;
}

uint32_t Mix(uint32_t a, uint32_t b, float t)
{
    uint32_t out = 0;
    for (int s = 0; s < 32; s += 8) {
        const float x = static_cast<float>((a >> s) & 0xFF) * (1 - t) + static_cast<float>((b >> s) & 0xFF) * t;
        out |= static_cast<uint32_t>(std::lround(x)) << s;
    }
    return out;
}

// Planks with dark seams and a frame.
uint32_t CratePixel(int x, int y, int w, int h)
{
    const int border = w / 10;
    if (x < border || y < border || x >= w - border || y >= h - border) return 0xFF6B4A24;
    if ((y % (h / 4)) < 2) return 0xFF4A3218;
    const float grain = 0.5f + 0.5f * std::sin(static_cast<float>(x) * 0.35f + static_cast<float>(y / (h / 4)) * 1.7f);
    return Mix(0xFFB98A4E, 0xFFD7A968, grain);
}

// Stone courses.
uint32_t TowerPixel(int x, int y, int w, int h)
{
    const int row = y / (h / 8);
    const int shift = (row % 2) * (w / 8);
    if (y % (h / 8) < 2 || (x + shift) % (w / 4) < 2) return 0xFF505050;
    return Mix(0xFF8C8C84, 0xFFB4B0A0, static_cast<float>((x * 7 + y * 13) % 17) / 16.0f);
}

// Red and white stripes with a transparent notch (alpha below 255).
uint32_t FlagPixel(int x, int y, int w, int h)
{
    if (x > w * 3 / 4 && std::abs(y - h / 2) < (x - w * 3 / 4)) return 0x00000000;
    return (y / (h / 4)) % 2 ? 0xFFFFFFFF : 0xFFC81E1E;
}

// Rusty metal with hoops.
uint32_t BarrelPixel(int x, int y, int w, int h)
{
    if (std::abs(y - h / 5) < 3 || std::abs(y - h * 4 / 5) < 3) return 0xFF3C3C3C;
    return Mix(0xFF2E5A8C, 0xFF8C5A2E, static_cast<float>((x * 31 + y * 17) % 23) / 40.0f);
}

const char* const kConfig = R"(// Demo game configuration written by meshcraft-make-demo-game.
#define VSoft 0
#define VArmor 1

class CfgPatches
{
	class Demo
	{
		units[] = {"DemoCrate", "DemoTower", "DemoBarrel"};
		weapons[] = {};
		requiredVersion = 1.75;
	};
};

class CfgVehicleClasses
{
	class Demo
	{
		displayName = "$STR_DN_DEMO";
	};
};

class CfgVehicles
{
	class All
	{
		displayName = "";
		model = "";
		simulation = "";
		mapSize = 1;
	};
	class Thing: All
	{
		simulation = "thing";
		type = VSoft;
	};
	class DemoCrate: Thing
	{
		scope = 2;
		vehicleClass = "Demo";
		displayName = "$STR_DN_CRATE";
		model = "data3d\crate.p3d";
	};
	class DemoTower: Thing
	{
		scope = 2;
		vehicleClass = "Demo";
		displayName = "$STR_DN_TOWER";
		model = "data3d\tower.p3d";
		mapSize = 3.5;
	};
	class DemoBarrel: Thing
	{
		scope = 2;
		vehicleClass = "Demo";
		displayName = "$STR_DN_BARREL";
		model = "\demo\barrel.p3d";
		animated = 1;
	};
};

// The arm's moves (AddOns\demo.pbo: arm.p3d), animations in Dta\anim.pbo.
class CfgMovesMC
{
	class Actions
	{
		class NoActions
		{
			turnSpeed = 1;
		};
		class CombatActions: NoActions
		{
			stop = "Combat";
			default = "Combat";
			up = "ArmUp";
			wave = "ArmWave";
			pose = "ArmPose";
			die = "ArmDead";
		};
		class ArmUpActions: CombatActions
		{
			down = "Combat";
			up = "";
		};
	};
	class States
	{
		class Default
		{
			actions = "CombatActions";
			file = "";
			looped = 1;
			speed = 0.5;
			terminal = 0;
		};
		class Combat: Default
		{
			file = "armrest.rtm";
			speed = 10000000000.0;
		};
		class CombatToArmUp: Default
		{
			actions = "ArmUpActions";
			file = "armraise.rtm";
			looped = 0;
			speed = -2;
		};
		class ArmUp: Default
		{
			actions = "ArmUpActions";
			file = "armup.rtm";
			speed = -1.5;
		};
		class ArmWave: Default
		{
			file = "\demo\anims\arm.rtm";
			speed = -1.2;
		};
		class ArmPose: Default
		{
			file = "armraise.rtm";
			speed = 0.8;
		};
		class ArmDead: Default
		{
			actions = "NoActions";
			file = "armfall.rtm";
			looped = 0;
			terminal = 1;
			speed = -1;
		};
	};
};

class CfgNonAIVehicles
{
	class ProxyFlag
	{
		scope = 1;
		model = "data3d\flag.p3d";
		simulation = "flag";
	};
};
)";

const char* const kStringTable =
    "LANGUAGE,English,French,German,Czech,Comment\r\n"
    "// Demo names\r\n"
    "STR_DN_DEMO,\"Demo objects\",\"Objets de d\xE9mo\",\"Demo-Objekte\",\"Uk\xE1zkov\xE9 objekty\",\r\n"
    "STR_DN_CRATE,\"Crate\",\"Caisse\",\"Kiste\",\"Bedna\",\r\n"
    "STR_DN_TOWER,\"Tower\",\"Tour\",\"Turm\",\"V\xEC\x9E\",\r\n"
    "STR_DN_BARREL,\"Barrel\",\"Tonneau\",\"Fass\",\"Sud\",\r\n";

}  // namespace

std::unique_ptr<TModel> MakePrismModel(const std::string& fileName, const std::string& texture,
                                       std::initializer_list<int> sides, float radius, float height)
{
    auto model = std::make_unique<TModel>();
    model->Signature = kSignatureODOL;
    model->FileName = fileName;
    float resolution = 1;
    for (int n : sides) {
        TLOD& lod = *model->AddLOD();
        lod.Resolution = resolution;
        resolution *= 2;
        lod.Textures.push_back({texture});
        FillPrism(lod, n, radius, height, 0);
        lod.AddProperty("class", "building");
    }
    const int geometry = model->LODCount();
    TLOD& geo = *model->AddLOD();
    geo.Resolution = ResolutionValue(ResGeometry);
    const int n = *sides.begin() > 8 ? 8 : *sides.begin();
    FillPrism(geo, n, radius, height, -1);
    geo.Masses.assign(geo.PointToVertex.size(), 40.0f);
    geo.AddProperty("autocenter", "0");
    const int memory = model->LODCount();
    demo::FillProxyMemory(*model->AddLOD(), height, "flag");
    model->SetSpecialLOD(SpecialGeometry, geometry);
    model->SetSpecialLOD(SpecialMemory, memory);
    FinishModel(*model, {-radius, 0, -radius}, {radius, height, radius}, 40.0f * static_cast<float>(geo.PointCount()));
    model->MapIcon = 15;  // view-tower
    model->MapIconColor = 0xFF5A5A5A;
    model->MapIconSelectedColor = 0x80FF0000;
    return model;
}

std::unique_ptr<TModel> MakeFlagModel()
{
    auto model = std::make_unique<TModel>();
    model->Signature = kSignatureODOL;
    model->FileName = "flag.p3d";
    TLOD& lod = *model->AddLOD();
    lod.Resolution = 1;
    lod.Textures.push_back({"data\\flag_co.paa"});
    const Vector3 corners[4] = {{0, 1.2f, 0}, {0.8f, 1.2f, 0}, {0.8f, 1.7f, 0}, {0, 1.7f, 0}};
    const TUV uvs[4] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
    uint16_t front[4], back[4];
    for (uint16_t k = 0; k < 4; ++k) {
        // Each side's normal is the way its corners below look.
        front[k] = AddVertex(lod, k, corners[k], {0, 0, 1}, uvs[k]);
        back[k] = AddVertex(lod, k, corners[k], {0, 0, -1}, uvs[k]);
    }
    AddFace(lod, {front[0], front[1], front[2], front[3]}, 0);
    AddFace(lod, {back[3], back[2], back[1], back[0]}, 0);
    lod.Faces[1].Flags |= FaceFlags::Transparent;
    lod.Faces[0].Flags |= FaceFlags::Transparent;
    auto cloth = std::make_unique<TModelComponent>(&lod);
    cloth->Name = "flag";
    cloth->Faces = {0, 1};
    for (uint16_t v = 0; v < 8; ++v) cloth->Vertices.push_back(v);
    lod.Selections.push_back(std::move(cloth));
    FinishModel(*model, {0, 1.2f, 0}, {0.8f, 1.7f, 0}, 0);
    return model;
}

bool WriteDemoGame(const fs::path& folder, std::string& error)
{
    std::error_code ec;
    fs::create_directories(folder, ec);

    // Bin: configuration and string table, checked with the program's readers.
    if (!WriteText(folder / "Bin" / "config.cpp", kConfig, error)) return false;
    if (!WriteText(folder / "Bin" / "stringtable.csv", kStringTable, error)) return false;
    {
        TResources check;
        if (!check.LoadFromFile(PathToUtf8(folder / "Bin" / "config.cpp"))) {
            error = "config.cpp does not load: " + check.ErrorMessage;
            return false;
        }
        if (!LoadStringTableFromFile(PathToUtf8(folder / "Bin" / "stringtable.csv"))) {
            error = "stringtable.csv does not load";
            return false;
        }
    }

    // Dta\data3d.pbo: the models.
    const fs::path models = folder / ".staging" / "data3d";
    if (!WriteModel(models / "crate.p3d", *MakeCrateModel(), error)) return false;
    if (!WriteModel(models / "tower.p3d", *MakePrismModel("tower.p3d", "data\\tower_co.paa", {12, 8, 6}, 1.5f, 6.0f),
                    error))
        return false;
    if (!WriteModel(models / "flag.p3d", *MakeFlagModel(), error)) return false;
    if (!Pack(models, folder / "Dta" / "data3d.pbo", error)) return false;

    // Dta\data.pbo: the textures.
    const fs::path textures = folder / ".staging" / "data";
    if (!WriteFile(textures / "crate_co.paa", EncodePaaArgb4444(64, 64, CratePixel), error)) return false;
    if (!WriteFile(textures / "tower_co.paa", EncodePaaArgb4444(128, 64, TowerPixel), error)) return false;
    if (!WriteFile(textures / "flag_co.paa", EncodePaaArgb4444(64, 32, FlagPixel), error)) return false;
    if (!Pack(textures, folder / "Dta" / "data.pbo", error)) return false;

    // AddOns\demo.pbo: an add-on with a model, its texture and an animation.
    const fs::path addon = folder / ".staging" / "demo";
    if (!WriteModel(addon / "barrel.p3d",
                    *MakePrismModel("barrel.p3d", "demo\\barrel_co.paa", {16, 10, 6}, 0.35f, 0.9f), error))
        return false;
    if (!WriteFile(addon / "barrel_co.paa", EncodePaaArgb4444(64, 64, BarrelPixel), error)) return false;
    if (!WriteModel(addon / "arm.p3d", *MakeTwoBoneModel(), error)) return false;
    if (!WriteAnimation(addon / "anims" / "arm.rtm", *MakeTwoBoneAnimation(), error)) return false;
    if (!WriteDemoDocuments(addon, error)) return false;
    if (!Pack(addon, folder / "AddOns" / "demo.pbo", error)) return false;

    // Dta\anim.pbo: the animations of the move states.
    const fs::path anims = folder / ".staging" / "anim";
    if (!WriteAnimation(anims / "armrest.rtm", *MakeArmSwing(1, 0, 0, 0, 0), error)) return false;
    if (!WriteAnimation(anims / "armraise.rtm", *MakeArmSwing(20, 0, 60, 0, 30), error)) return false;
    if (!WriteAnimation(anims / "armup.rtm", *MakeArmSwing(12, 60, 75, 30, 60), error)) return false;
    if (!WriteAnimation(anims / "armfall.rtm", *MakeArmSwing(10, 0, -90, 0, 20), error)) return false;
    if (!Pack(anims, folder / "Dta" / "anim.pbo", error)) return false;

    fs::remove_all(folder / ".staging", ec);
    return true;
}

}  // namespace mc::demo
