// The texture window: where the texture and the face outlines are drawn, the
// coordinate grid and the caption.
#include <QCheckBox>
#include <QComboBox>
#include <QTableWidget>

#include "FormsTestSupport.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Texture/Texture.h"
#include "TextureView.h"
#include "Texture_F.h"

using namespace mc;
using namespace mc::test;

namespace {

class TSource : public ITextureFormSource {
public:
    const TLOD* CurrentLOD() const override { return lod; }
    int CurrentFaceIndex() const override { return face; }
    int TextureIndexOf(const TTexture* texture) const override { return texture && texture == cached ? 0 : -1; }
    const TLOD* lod = nullptr;
    int face = -1;
    const TTexture* cached = nullptr;
};

// A texture whose level 0 is one colour (its alpha image another).
std::unique_ptr<TTexture> PlainTexture(int w, int h, uint32_t colour)
{
    auto t = std::make_unique<TTexture>();
    auto level = std::make_unique<TMipMap>(t.get());
    level->Width = w;
    level->Height = h;
    auto c = std::make_shared<TPixelImage>(w, h);
    c->Fill(colour);
    auto a = std::make_shared<TPixelImage>(w, h);
    a->Fill(PixelGrey(0x40));
    level->ColorImage = c;
    level->AlphaImage = a;
    t->MipMaps.push_back(std::move(level));
    return t;
}

// Face 0: a quad over the middle half; face 1: a triangle in the top-left
// quarter; face 2: a triangle with texture 1.
void FillLOD(TLOD& lod)
{
    lod.UVs = {{0.25f, 0.25f}, {0.75f, 0.25f}, {0.75f, 0.75f}, {0.25f, 0.75f}, {0, 0}, {0.125f, 0}, {0, 0.125f}};
    lod.Positions.resize(lod.UVs.size());
    TFace quad;
    quad.Count = 4;
    quad.Texture = 0;
    quad.Vertices = {0, 1, 2, 3};
    TFace tri;
    tri.Count = 3;
    tri.Texture = 0;
    tri.Vertices = {4, 5, 6, 0};
    TFace other = tri;
    other.Texture = 1;
    lod.Faces = {quad, tri, other};
    lod.Textures = {{"a.paa"}, {"b.paa"}};
}

QRgb At(const TTextureForm& form, int x, int y) { return form.Image_Buffer.pixel(x, y) & 0xFFFFFF; }

}  // namespace

class TextureFormTest : public QObject {
    Q_OBJECT

private slots:
    void destinationAndMapping()
    {
        QCOMPARE(TextureDestination(TTextureFit::Fit, 512, 256), QRect(0, 0, 256, 128));
        QCOMPARE(TextureDestination(TTextureFit::Fit, 100, 300), QRect(0, 0, 85, 256));
        QCOMPARE(TextureDestination(TTextureFit::Fit, 64, 64), QRect(0, 0, 256, 256));
        QCOMPARE(TextureDestination(TTextureFit::Original, 512, 256), QRect(0, 0, 512, 256));
        QCOMPARE(TextureDestination(TTextureFit::Stretch, 16, 8), QRect(0, 0, 256, 256));
        QCOMPARE(TextureDestination(TTextureFit::Original, 0, 0), QRect(0, 0, 256, 256));
        // Halves go to the even neighbour: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 127.5 -> 128.
        const QRect d(0, 0, 256, 256);
        QCOMPARE(MapTextureUV(d, 1 / 256.0f, 0).x(), 0);
        QCOMPARE(MapTextureUV(d, 2 / 256.0f, 0).x(), 2);
        QCOMPARE(MapTextureUV(d, 3 / 256.0f, 0).x(), 2);
        QCOMPARE(MapTextureUV(d, 0.5f, 0.5f), QPoint(128, 128));
        QCOMPARE(MapTextureUV(QRect(10, 20, 100, 50), 0.2f, 1.0f), QPoint(30, 70));
    }

    void gridAndCaption()
    {
        TSource source;
        TModel model;
        TLOD& lod = *model.AddLOD();
        FillLOD(lod);
        TTextureForm form(source);
        QCOMPARE(form.windowTitle(), QStringLiteral("(none)"));
        QCOMPARE(form.size(), QSize(377, 259));
        QCOMPARE(form.ComboBox_Size->itemText(2), QStringLiteral("Stretch "));
        QCOMPARE(form.StringGrid_UV->horizontalHeaderItem(0)->text(), QStringLiteral("u"));
        QCOMPARE(form.StringGrid_UV->rowCount(), 1);

        source.lod = &lod;
        source.face = 0;
        auto texture = PlainTexture(512, 256, 0xFF0000FF);
        form.SetTexture(texture.get());
        form.SetTextureName("data\\a.paa");
        QCOMPARE(form.windowTitle(), QStringLiteral("data\\a.paa [512x256]"));
        QCOMPARE(form.StringGrid_UV->rowCount(), 4);
        QCOMPARE(form.StringGrid_UV->item(1, 0)->text(), QStringLiteral("0.750"));
        QCOMPARE(form.StringGrid_UV->item(2, 1)->text(), QStringLiteral("0.750"));

        source.face = 1;
        form.SetTexture(texture.get());
        QCOMPARE(form.StringGrid_UV->rowCount(), 3);
        QCOMPARE(form.StringGrid_UV->item(1, 0)->text(), QStringLiteral("0.125"));

        source.face = -1;
        form.SetTexture(nullptr);
        form.SetTextureName("data\\missing.paa");
        QCOMPARE(form.windowTitle(), QStringLiteral("data\\missing.paa (not loaded)"));
        QCOMPARE(form.StringGrid_UV->rowCount(), 1);
        QVERIFY(!form.StringGrid_UV->item(0, 0));
    }

    void painting()
    {
        TSource source;
        TModel model;
        TLOD& lod = *model.AddLOD();
        FillLOD(lod);
        TTextureForm form(source);
        auto texture = PlainTexture(512, 256, 0xFF0000FF);
        const QRgb background = form.palette().color(QPalette::Window).rgb() & 0xFFFFFF;

        // No current LOD: only the background.
        form.SetTexture(texture.get());
        QVERIFY(!form.ComposeBuffer());
        QCOMPARE(At(form, 100, 10), background);

        source.lod = &lod;
        form.ComboBox_Size->setCurrentIndex(1);  // Fit
        QVERIFY(form.ComposeBuffer());
        QCOMPARE(form.Destination(), QRect(0, 0, 256, 128));
        QCOMPARE(At(form, 200, 10), QRgb(0x0000FF));
        QCOMPARE(At(form, 200, 200), background);
        form.ComboBox_Data->setCurrentIndex(1);  // Alpha
        QCOMPARE(At(form, 200, 10), QRgb(0x404040));
        form.ComboBox_Data->setCurrentIndex(0);

        // Original: the right half lies outside and is clipped.
        form.ComboBox_Size->setCurrentIndex(0);
        QCOMPARE(form.Destination(), QRect(0, 0, 512, 256));
        QCOMPARE(At(form, 255, 255), QRgb(0x0000FF));

        // All Polygons without a selected face: the texture's faces in the
        // selected-face colour, others not at all.
        form.ComboBox_Size->setCurrentIndex(2);  // Stretch: the whole box
        source.cached = texture.get();
        form.CheckBox_AllPolygons->setChecked(true);
        form.Refresh();
        const QPoint quadCorner = MapTextureUV(QRect(0, 0, 256, 256), 0.25f, 0.25f);
        QCOMPARE(At(form, quadCorner.x(), quadCorner.y()), QRgb(0xFFFFFF));
        QCOMPARE(At(form, 10, 0), QRgb(0xFFFFFF));  // the triangle's top edge

        // With face 1 selected the others turn grey, the face stays white.
        source.face = 1;
        form.SetTexture(texture.get());
        QCOMPARE(At(form, quadCorner.x(), quadCorner.y()), QRgb(0x808080));
        QCOMPARE(At(form, 10, 0), QRgb(0xFFFFFF));

        // A texture that is not the LOD's: no outlines but the selected face.
        source.cached = nullptr;
        form.Refresh();
        QCOMPARE(At(form, quadCorner.x(), quadCorner.y()), QRgb(0x0000FF));

        // Show Order marks the vertex of the grid's row.
        source.face = 0;
        form.SetTexture(texture.get());
        form.CheckBox_ShowOrder->setChecked(true);
        form.StringGrid_UV->setCurrentCell(2, 0);
        form.Refresh();
        const QPoint v2 = MapTextureUV(QRect(0, 0, 256, 256), 0.75f, 0.75f);
        QCOMPARE(At(form, v2.x() + 3, v2.y()), QRgb(0x00FF00));
        QCOMPARE(At(form, v2.x() - 3, v2.y() - 3), QRgb(0x00FF00));

        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        SaveScreenshot(&form, "texture-window-synthetic");
    }
};

MC_WINDOW_TEST_MAIN(TextureFormTest)
#include "TextureFormTest.moc"
