// JPEG pictures through the installable decoder.
#include <gtest/gtest.h>

#include "Core/Stream.h"
#include "Texture/JpegDecoder.h"
#include "Texture/Texture.h"
#include "Texture/TextureLoadOptions.h"
#include "Texture/TextureTypes.h"

using namespace mc;

namespace {

// Decodes any input of 4 bytes or more starting FF D8 to a 3 x 2 picture
// whose pixel (x, y) has blue x, green y, red 9; refuses everything else.
class TFakeDecoder : public IJpegDecoder {
public:
    bool Load(const std::string& folder) override
    {
        LoadedFrom = folder;
        return Loadable;
    }
    std::optional<TJpegBitmap> Decode(const uint8_t* data, size_t size) override
    {
        ++Decodes;
        if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
        TJpegBitmap b;
        b.Width = 3;
        b.Height = 2;
        b.Stride = 12;
        b.Pixels.assign(b.Stride * 2, 0xEE);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                b.Pixels[size_t(y) * 12 + size_t(x) * 3] = uint8_t(x);
                b.Pixels[size_t(y) * 12 + size_t(x) * 3 + 1] = uint8_t(y);
                b.Pixels[size_t(y) * 12 + size_t(x) * 3 + 2] = 9;
            }
        return b;
    }
    bool Loadable = true;
    int Decodes = 0;
    std::string LoadedFrom;
};

// Uninstalls the decoder whatever the test does.
struct TInstalled {
    explicit TInstalled(IJpegDecoder* d) { InstallJpegDecoder(d); }
    ~TInstalled() { InstallJpegDecoder(nullptr); }
};

const std::vector<uint8_t> kJpeg = {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3};

TEST(JpegTexture, AvailableOnlyAfterTheDecoderLoaded)
{
    TFakeDecoder fake;
    fake.Loadable = false;
    TInstalled installed(&fake);
    EXPECT_FALSE(JpegAvailable());
    EXPECT_FALSE(LoadJpegLibrary("C:\\Game\\Bin\\"));
    EXPECT_EQ(fake.LoadedFrom, "C:\\Game\\Bin\\");
    TMemoryReader in(kJpeg.data(), kJpeg.size());
    EXPECT_FALSE(DecodeJpegToBitmap(in));
    EXPECT_EQ(fake.Decodes, 0);
    TTexture notShown;
    TMemoryReader again(kJpeg.data(), kJpeg.size());
    EXPECT_FALSE(notShown.Load(again, 0));

    fake.Loadable = true;
    EXPECT_TRUE(LoadJpegLibrary("x"));
    EXPECT_TRUE(JpegAvailable());
    InstallJpegDecoder(nullptr);
    EXPECT_FALSE(JpegAvailable());
    EXPECT_FALSE(LoadJpegLibrary("x"));
}

TEST(JpegTexture, PictureBecomesOneOpaqueLevel)
{
    TFakeDecoder fake;
    TInstalled installed(&fake);
    ASSERT_TRUE(LoadJpegLibrary({}));

    TTexture t;
    TMemoryReader in(kJpeg.data(), kJpeg.size());
    ASSERT_TRUE(t.Load(in, 0));
    EXPECT_EQ(t.TextureType, kTextureTypeJPEG);
    ASSERT_EQ(t.LevelCount(), 1);
    const TMipMap& m = *t.Level(0);
    EXPECT_EQ(m.Width, 3);
    EXPECT_EQ(m.Height, 2);
    EXPECT_EQ(m.ColorImage->Pixel(2, 1), 0xFF090102u);
    EXPECT_EQ(m.ColorImage->Pixel(0, 0), 0xFF090000u);
    EXPECT_EQ(m.AlphaImage->Pixel(2, 1), 0xFFFFFFFFu);

    // Not for a device; the decoder is not even asked.
    const int before = fake.Decodes;
    TTexture device;
    TMemoryReader again(kJpeg.data(), kJpeg.size());
    EXPECT_FALSE(device.Load(again, TextureLoad::Device));
    EXPECT_EQ(fake.Decodes, before);

    // A picture the decoder refuses.
    const std::vector<uint8_t> broken = {0xFF, 0xD8, 0};
    TTexture bad;
    TMemoryReader b(broken.data(), broken.size());
    EXPECT_FALSE(bad.Load(b, 0));
    EXPECT_EQ(bad.LevelCount(), 0);
}

TEST(JpegTexture, HeaderOnlyDoesNotDecodeThePicture)
{
    TFakeDecoder fake;
    TInstalled installed(&fake);
    ASSERT_TRUE(LoadJpegLibrary({}));

    // Model conversion asks every texture for its header: a picture's header
    // is its type, and decoding it would cost the whole picture.
    TTexture t;
    TMemoryReader in(kJpeg.data(), kJpeg.size());
    ASSERT_TRUE(t.Load(in, TextureLoad::HeaderOnly));
    EXPECT_EQ(fake.Decodes, 0);
    EXPECT_EQ(t.TextureType, kTextureTypeJPEG);
    EXPECT_EQ(t.LevelCount(), 0);
    EXPECT_FALSE(t.HasTransparency());
}

}  // namespace
