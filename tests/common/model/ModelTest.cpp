// The model classes: vocabulary tables, queries, edits and proxy placement.
#include <gtest/gtest.h>

#include <bit>

#include "DemoModel.h"
#include "Model/Model.h"

using namespace mc;

TEST(ModelTables, ResolutionNamesByExactValue)
{
    EXPECT_EQ(LODName(1000.5f), "1000.500");
    EXPECT_TRUE(IsSpecialResolution(1000.5f));
    EXPECT_EQ(LODName(999.999f), "999.999");
    EXPECT_FALSE(IsSpecialResolution(999.999f));
    EXPECT_EQ(LODName(std::bit_cast<float>(0x551184E7u)), "Geometry");
    EXPECT_EQ(LODName(std::bit_cast<float>(0x551184E8u)), "10000000876544.000");
    EXPECT_EQ(LODName(1200.0f), "View - Cargo");
    EXPECT_EQ(LODName(ResolutionValue(ResViewGunnerFireGeometry)), "View - Gunner - Fire Geometry");
    EXPECT_TRUE(IsDrawnAsPoints(ResolutionValue(ResHitpoints)));
    EXPECT_TRUE(IsDrawnAsPoints(ResolutionValue(ResMemory)));
    EXPECT_FALSE(IsDrawnAsPoints(ResolutionValue(ResGeometry)));
    EXPECT_EQ(SpecialKindName(SpecialHitpoints), "Hitpoints");
    EXPECT_EQ(SpecialKindName(SpecialViewCargoGeometry), "View - Cargo - Geometry");
}

TEST(ModelTables, MapIcons)
{
    EXPECT_EQ(MapIconCode(""), 25);
    EXPECT_EQ(MapIconCode("Tree"), 24);
    EXPECT_EQ(MapIconCode("tree"), 0);
    EXPECT_EQ(MapIconCode("road"), 30);
    EXPECT_EQ(MapIconName(23), "bus stop");
    EXPECT_EQ(MapIconName(27), "");
    EXPECT_EQ(MapIconName(200), "");
}

TEST(Model, SpecialLODsAndLookups)
{
    auto m = demo::MakeCrateModel();
    EXPECT_EQ(m->SpecialLOD(SpecialGeometry), 1);
    m->SetSpecialLOD(SpecialHitpoints, 2);
    EXPECT_EQ(m->SpecialLOD(SpecialHitpoints), 2);
    m->SetSpecialLOD(12, 0);
    m->SetSpecialLOD(SpecialPaths, 3);  // only 3 LODs
    m->SetSpecialLOD(SpecialPaths, -2);
    EXPECT_EQ(m->SpecialLOD(SpecialPaths), -1);
    EXPECT_EQ(m->SpecialLOD(-1), -1);
    EXPECT_EQ(m->SpecialLODPtr(SpecialMemory), m->LOD(2));
    EXPECT_EQ(m->SpecialLODPtr(SpecialRoadway), nullptr);

    EXPECT_EQ(m->FindLOD(ResolutionValue(ResGeometry)), 1);
    EXPECT_EQ(m->FindLOD(2.0f), -1);
    EXPECT_EQ(m->LOD(3), nullptr);
    EXPECT_EQ(m->PropertyValue("AUTOCENTER"), "0");
    EXPECT_EQ(m->PropertyValue("missing"), "");
    EXPECT_EQ(m->LOD(2)->SelectionByName("ZAMERNY"), m->LOD(2)->Selection(0));
    EXPECT_EQ(m->LOD(2)->Frame(0), nullptr);
    EXPECT_EQ(m->LOD(2)->Proxy(-1), nullptr);
}

TEST(Model, NamedPropertyEdits)
{
    TModel m;
    TLOD& lod = *m.AddLOD();
    lod.AddProperty("class", "house");
    lod.AddProperty("map", "tree");
    lod.ChangeProperty("CLASS", "church");
    EXPECT_EQ(lod.PropertyNames[0], "CLASS");
    EXPECT_EQ(lod.PropertyValues[0], "church");
    lod.RenameProperty("map", "Map");
    EXPECT_EQ(lod.PropertyNames[1], "Map");
    lod.ChangeProperty("nothing", "x");
    lod.RenameProperty("nothing", "y");
    lod.DeleteProperty("nothing");
    EXPECT_EQ(lod.PropertyNames.size(), 2u);
    lod.DeleteProperty("class");
    ASSERT_EQ(lod.PropertyNames.size(), 1u);
    EXPECT_EQ(lod.PropertyValues[0], "tree");
}

TEST(Model, MapIconColoursInGuiOrder)
{
    TModel m;
    m.MapIconColor = 0x80102030;
    EXPECT_EQ(m.GetMapIconColor(false), 0x00302010u);
    EXPECT_EQ(m.GetMapIconAlpha(false), 0x00808080u);
    m.SetMapIconColor(false, 0x00AABBCC);
    EXPECT_EQ(m.MapIconColor, 0x00CCBBAAu);
    m.SetMapIconAlpha(false, 0x40);
    EXPECT_EQ(m.MapIconColor, 0x40CCBBAAu);
    EXPECT_EQ(ColorText(0x40CCBBAA), "ARGB(64, 204, 187, 170)");
}

TEST(Model, LODForDistanceStopsAtSpecialLODs)
{
    TModel m;
    for (float r : {1.0f, 5.0f, 20.0f, ResolutionValue(ResGeometry)}) m.AddLOD()->Resolution = r;
    EXPECT_EQ(m.LODForDistance(10, 0.05f), m.LOD(0));   // 0.5 < 1
    EXPECT_EQ(m.LODForDistance(40, 0.05f), m.LOD(1));   // 2 < 5
    EXPECT_EQ(m.LODForDistance(1e6f, 0.05f), m.LOD(2));  // beyond all: last visual LOD
    TModel specialFirst;
    specialFirst.AddLOD()->Resolution = ResolutionValue(ResMemory);
    EXPECT_EQ(specialFirst.LODForDistance(1, 1), nullptr);
}

TEST(Model, ViewFramingSkipsProxyAndShiningFaces)
{
    auto m = demo::MakeCrateModel();
    TLOD& lod = *m->LOD(0);
    // A far vertex used only by a proxy face must not widen the frame.
    lod.Positions.push_back({100, 100, 100});
    TFace f;
    f.Flags = FaceFlags::Proxy;
    f.Vertices = {0, 1, static_cast<uint16_t>(lod.Positions.size() - 1), 0};
    lod.Faces.push_back(f);
    Vector3 centre;
    float radius;
    m->ViewFraming(centre, radius);
    EXPECT_EQ(centre, (Vector3{0, 0.5f, 0}));
    EXPECT_NEAR(radius, std::sqrt(0.75f), 1e-6);
}

TEST(Model, ViewSelectionState)
{
    auto m = demo::MakeCrateModel();
    TLOD& lod = *m->LOD(0);
    EXPECT_FALSE(lod.IsFaceSelected(0));
    lod.SelectFace(2);
    EXPECT_TRUE(lod.IsFaceSelected(2));
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(lod.IsVertexSelected(lod.Faces[2].Vertices[static_cast<size_t>(k)]));
    lod.ClearSelection();
    EXPECT_FALSE(lod.IsFaceSelected(2));
    lod.SelectComponent(0);  // "lid": face 4
    EXPECT_TRUE(lod.IsFaceSelected(4));
    EXPECT_EQ(lod.ComponentSelected[0], 1);
    lod.SelectVertex(10000);  // ignored
}

namespace {

// A LOD with one triangle selection bound to a proxy.
TProxy& ProxyOnTriangle(TModel& m, Vector3 a, Vector3 b, Vector3 c)
{
    TLOD& lod = *m.AddLOD();
    lod.Positions = {a, b, c};
    TFace f;
    f.Vertices = {0, 1, 2, 0};
    lod.Faces.push_back(f);
    auto sel = std::make_unique<TModelComponent>(&lod);
    sel->Faces = {0};
    auto proxy = std::make_unique<TProxy>(&lod);
    sel->BindProxy(proxy.get());
    lod.Selections.push_back(std::move(sel));
    lod.Proxies.push_back(std::move(proxy));
    return *lod.Proxies.back();
}

}  // namespace

TEST(Proxy, PlacementFromTheFirstFace)
{
    TModel m;
    // Right angle at p2; long leg to p0 (length 2), short leg to p1 (length 1).
    TProxy& p = ProxyOnTriangle(m, {2, 0, 0}, {0, 1, 0}, {0, 0, 0});
    EXPECT_EQ(p.CornerVertex, 2);
    EXPECT_EQ(p.LongVertex, 0);
    EXPECT_EQ(p.ShortVertex, 1);
    EXPECT_EQ(p.ProxyPosition, (Vector3{0, 0, 0}));
    EXPECT_EQ(p.LongAxis, (Vector3{1, 0, 0}));
    EXPECT_EQ(p.ShortAxis, (Vector3{0, 1, 0}));
    EXPECT_EQ(p.ProxyNormal, (Vector3{0, 0, 1}));
    EXPECT_EQ(m.LOD(0)->Selection(0)->Proxy, &p);
}

TEST(Proxy, EqualLongestEdgesTakeTheFirstRule)
{
    TModel m;
    // e01 = e02 = 5, e12 shorter: corner is vertex 2.
    TProxy& p = ProxyOnTriangle(m, {0, 0, 0}, {5, 0, 0}, {4, 3, 0});
    EXPECT_EQ(p.CornerVertex, 2);
}

TEST(Proxy, LongAxisIsOrthogonalisedAgainstTheShortAxis)
{
    TModel m;
    // Corner 0 (opposite the longest edge e12); long leg to 1, short leg to 2
    // at an obtuse angle.
    TProxy& p = ProxyOnTriangle(m, {0, 0, 0}, {4, 0, 0}, {-1, 2, 0});
    EXPECT_EQ(p.CornerVertex, 0);
    EXPECT_EQ(p.LongVertex, 1);
    EXPECT_NEAR(Dot(p.LongAxis, p.ShortAxis), 0, 1e-7);
    EXPECT_NEAR(p.LongAxis.x, 0.894427f, 1e-6);
    EXPECT_NEAR(p.LongAxis.y, 0.447214f, 1e-6);
    EXPECT_NEAR(Length(p.ProxyNormal), 1, 1e-6);
}

TEST(Proxy, SelectionWithoutFacesKeepsNoProxy)
{
    TModel m;
    TLOD& lod = *m.AddLOD();
    TModelComponent sel(&lod);
    TProxy proxy(&lod);
    proxy.LongAxis = {9, 9, 9};
    sel.BindProxy(&proxy);
    EXPECT_EQ(sel.Proxy, nullptr);
    EXPECT_EQ(proxy.LongAxis, (Vector3{9, 9, 9}));
}
