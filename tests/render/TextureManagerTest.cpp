#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "Core/Stream.h"
#include "RenderFixtures.h"
#include "Texture/DeviceCaps.h"
#include "Texture/Texture.h"
#include "TestSupport.h"
#include "TextureManager.h"

namespace mc {
namespace {

// Records what the manager asks of the device, in order.
class TRecordingDevice : public ITextureDevice {
public:
    explicit TRecordingDevice(uint32_t caps = DeviceCap::DXT1) : caps_(caps) {}
    uint32_t Capabilities() const override { return caps_; }
    uint32_t CreateSurface(const TTexture&, const TSurfaceDesc& desc, bool&) override
    {
        Descs.push_back(desc);
        Calls.push_back("create " + std::to_string(next_));
        return next_++;
    }
    void ReleaseSurface(uint32_t surface) override { Calls.push_back("release " + std::to_string(surface)); }
    int SetTexture(int stage, uint32_t surface) override
    {
        Calls.push_back("bind " + std::to_string(surface));
        return 0;
    }
    std::vector<std::string> Calls;
    std::vector<TSurfaceDesc> Descs;

private:
    uint32_t caps_;
    uint32_t next_ = 1;
};

// Gives the same texture file for every name and counts the look-ups.
struct TCountingSource {
    explicit TCountingSource(std::vector<uint8_t> bytes = {}) : Bytes(std::move(bytes)) {}
    std::vector<uint8_t> Bytes;
    std::vector<std::string> Asked;
    TTextureSource Source()
    {
        return [this](const std::string& name) -> std::unique_ptr<TStream> {
            Asked.push_back(name);
            if (Bytes.empty()) return nullptr;
            return std::make_unique<TMemoryStream>(Bytes);
        };
    }
};

TEST(TextureManager, TwoSpellingsShareOneEntryWithTwoReferences)
{
    test::TRecordingServices services;
    TRecordingDevice device;
    TCountingSource files{test::SolidPaa(0xFFFF0000)};
    TTextureManager manager(device, files.Source());
    TDirect3DTexture3* a = manager.AcquireTexture("data\\crate.paa");
    TDirect3DTexture3* b = manager.AcquireTexture("DATA\\CRATE.PAA");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->RefCount, 2);
    EXPECT_EQ(manager.Count(), 1);
    EXPECT_EQ(files.Asked.size(), 1u);
    EXPECT_EQ(a->SurfaceDesc.Layout, TPixelLayout::Argb4444);
    EXPECT_EQ(a->SurfaceDesc.MipMapCount, 2);  // 8 x 8 and 4 x 4

    manager.ReleaseTextureByName("Data\\Crate.paa");
    EXPECT_EQ(manager.Count(), 1);
    EXPECT_EQ(a->RefCount, 1);
    manager.ReleaseTextureByName("data\\crate.paa");
    EXPECT_EQ(manager.Count(), 0);
    EXPECT_EQ(device.Calls.back(), "release 1");
    manager.ReleaseTextureByName("data\\crate.paa");  // absent: nothing
    manager.ReleaseTexture(5);
    EXPECT_TRUE(services.Log.empty());
}

TEST(TextureManager, MissingNameIsLoggedOnceAndKeptEmpty)
{
    test::TRecordingServices services;
    TRecordingDevice device;
    TCountingSource files;
    TTextureManager manager(device, files.Source());
    EXPECT_EQ(manager.AcquireTexture("data\\missing.paa"), nullptr);
    EXPECT_EQ(manager.AcquireTexture("Data\\Missing.paa"), nullptr);
    EXPECT_EQ(files.Asked.size(), 1u);
    EXPECT_EQ(std::count(services.Log.begin(), services.Log.end(), "Cannot load texture \"data\\missing.paa\""), 1);
    EXPECT_EQ(manager.Count(), 1);
    manager.ReleaseTextureByName("data\\missing.paa");  // an empty entry simply goes
    EXPECT_EQ(manager.Count(), 0);
    EXPECT_EQ(manager.AcquireTexture(""), nullptr);
    EXPECT_EQ(manager.Count(), 0);
}

TEST(TextureManager, OtherExtensionsAreNeverLookedUp)
{
    test::TRecordingServices services;
    TRecordingDevice device;
    TCountingSource files{test::SolidPaa(0xFFFFFFFF)};
    TTextureManager manager(device, files.Source());
    EXPECT_EQ(manager.AcquireTexture("data\\crate.tga"), nullptr);
    EXPECT_EQ(manager.AcquireTexture("data\\model.p3d"), nullptr);
    EXPECT_EQ(manager.AcquireTexture("data\\noextension"), nullptr);
    EXPECT_TRUE(files.Asked.empty());
    EXPECT_NE(manager.AcquireTexture("data\\a.PAC"), nullptr);
    EXPECT_NE(manager.AcquireTexture("data\\b.jpeg"), nullptr);  // looked up (and refused as no JPEG)
    EXPECT_EQ(files.Asked.size(), 2u);
}

TEST(TextureManager, ReleasingTheBoundTextureUnbindsItFirst)
{
    test::TRecordingServices services;
    TRecordingDevice device;
    TCountingSource files{test::SolidPaa(0xFF00FF00)};
    TTextureManager manager(device, files.Source());
    TDirect3DTexture3* t = manager.AcquireTexture("a.paa");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(manager.BindTexture(0, t), 0);
    EXPECT_EQ(manager.CurrentTexture(), t);
    manager.BindTexture(0, t);  // already current: no device call
    device.Calls.clear();
    manager.ReleaseTexture(manager.IndexOf("A.PAA"));
    EXPECT_EQ(device.Calls, (std::vector<std::string>{"bind 0", "release 1"}));
    EXPECT_EQ(manager.CurrentTexture(), nullptr);
}

TEST(TextureManager, ReleaseAllAndReleaseListGiveEverythingBack)
{
    test::TRecordingServices services;
    TRecordingDevice device;
    TCountingSource files{test::SolidPaa(0xFF0000FF)};
    auto manager = std::make_unique<TTextureManager>(device, files.Source());
    manager->AcquireTexture("a.paa");
    manager->AcquireTexture("a.paa");
    manager->AcquireTexture("b.paa");
    std::vector<std::pair<std::string, TDirect3DTexture3*>> list{{"b.paa", manager->AcquireTexture("b.paa")},
                                                                  {"c.paa", nullptr}};
    manager->ReleaseList(list);
    EXPECT_EQ(list[0].second, nullptr);
    EXPECT_EQ(manager->Texture(manager->IndexOf("b.paa"))->RefCount, 1);
    manager->ReleaseAll();
    EXPECT_EQ(manager->Count(), 0);
    const TTextureManager* gone = manager.get();
    EXPECT_TRUE(TTextureManager::IsRegistered(gone));
    manager.reset();
    EXPECT_FALSE(TTextureManager::IsRegistered(gone));
}

// The DXT1 texture of the real files, as device textures with and without
// the DXT1 capability.
TEST(TextureManager, WithoutDxt1CapabilityDxt1BecomesArgb1555WithTheSameLevels)
{
    const auto file = test::RealDataDir() / "pac" / "tzk210_METAL7.pac";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << "real data absent";
    test::TRecordingServices services;
    TCountingSource files{test::ReadFileBytes(file)};
    int levelsWithDxt1 = 0;
    {
        TRecordingDevice device(DeviceCap::DXT1);
        TTextureManager manager(device, files.Source());
        EXPECT_EQ(GetDeviceCapabilities(), DeviceCap::DXT1);
        TDirect3DTexture3* t = manager.AcquireTexture("metal7.pac");
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->SurfaceDesc.Layout, TPixelLayout::Dxt1);
        levelsWithDxt1 = t->SurfaceDesc.MipMapCount;
        EXPECT_LE(t->SurfaceDesc.Width, 256);
    }
    TRecordingDevice device(0);
    TTextureManager manager(device, files.Source());
    EXPECT_EQ(GetDeviceCapabilities(), 0u);
    TDirect3DTexture3* t = manager.AcquireTexture("metal7.pac");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->SurfaceDesc.Layout, TPixelLayout::Argb1555);
    EXPECT_GT(levelsWithDxt1, 1);
    EXPECT_EQ(t->SurfaceDesc.MipMapCount, levelsWithDxt1);
}

TEST(TextureManager, DamagedFileIsACachedFailure)
{
    test::TRecordingServices services;
    TRecordingDevice device;
    std::vector<uint8_t> bytes = test::SolidPaa(0xFFFFFFFF);
    bytes.resize(bytes.size() / 2);
    TCountingSource files{bytes};
    TTextureManager manager(device, files.Source());
    EXPECT_EQ(manager.AcquireTexture("half.paa"), nullptr);
    EXPECT_EQ(manager.AcquireTexture("half.paa"), nullptr);
    EXPECT_EQ(files.Asked.size(), 1u);
    EXPECT_FALSE(services.Log.empty());
}

}  // namespace
}  // namespace mc
