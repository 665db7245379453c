// Two model documents over two game folders: what each tells the windows,
// in which order and how often, and that each reads models and textures
// through its own game data only.
#include <QSignalSpy>
#include <memory>

#include "Core/AppServices.h"
#include "Core/FilePaths.h"
#include "Core/Strings.h"
#include "FormsTestSupport.h"
#include "Game/GameData.h"
#include "GuiServices.h"
#include "Model/Model.h"
#include "ModelDocument.h"
#include "Texture/Texture.h"

using namespace mc;
using namespace mc::test;
namespace fs = std::filesystem;

namespace {

// Every signal of a document as one line, in the order they came.
class TSignalRecorder : public QObject {
public:
    explicit TSignalRecorder(TModelDocument& document)
    {
        connect(&document, &TModelDocument::ModelOpened, this, [this] { Events << "opened"; });
        connect(&document, &TModelDocument::LODSelected, this, [this](int i) { Events << QStringLiteral("lod %1").arg(i); });
        connect(&document, &TModelDocument::LODReselected, this,
                [this](int i) { Events << QStringLiteral("lod again %1").arg(i); });
        connect(&document, &TModelDocument::ModelCleared, this, [this] { Events << "cleared"; });
        connect(&document, &TModelDocument::TextureShown, this, [this](const TTexture* texture, const QString& name) {
            Events << QStringLiteral("texture %1%2").arg(name, texture ? QString() : QStringLiteral(" (none)"));
            Textures.push_back(texture);
        });
        connect(&document, &TModelDocument::PolygonSelected, this,
                [this](int i) { Events << QStringLiteral("polygon %1").arg(i); });
        connect(&document, &TModelDocument::ComponentSelected, this, [this](TModelComponent* c) {
            Events << QStringLiteral("component %1").arg(c ? QString::fromStdString(c->Name) : QStringLiteral("-"));
        });
        connect(&document, &TModelDocument::ProxySelected, this, [this](int i) { Events << QStringLiteral("proxy %1").arg(i); });
        connect(&document, &TModelDocument::SelectionChanged, this, [this] { Events << "selection"; });
        connect(&document, &TModelDocument::PoseChanged, this, [this] { Events << "pose"; });
        connect(&document, &TModelDocument::ProxiesChanged, this, [this] { Events << "proxies"; });
        connect(&document, &TModelDocument::ModifiedChanged, this,
                [this](bool m) { Events << QStringLiteral("modified %1").arg(int(m)); });
        connect(&document, &TModelDocument::FileNameChanged, this, [this] { Events << "file name"; });
    }

    // The events since the last call.
    QStringList Take()
    {
        Textures.clear();
        return std::exchange(Events, {});
    }

    QStringList Events;
    std::vector<const TTexture*> Textures;
};

// One game folder with its data and a document over it.
struct TGameSide {
    explicit TGameSide(const fs::path& folder)
    {
        Game.GameFolder = PathToUtf8(folder);
        OpenGameData(Game);
        Document = std::make_unique<TModelDocument>(Game);
        Recorder = std::make_unique<TSignalRecorder>(*Document);
    }
    TGameData Game;
    std::unique_ptr<TModelDocument> Document;
    std::unique_ptr<TSignalRecorder> Recorder;
};

int LODWithProxy(const TModel& model)
{
    for (int i = 0; i < model.LODCount(); ++i)
        if (model.LODs[size_t(i)]->ProxyCount() > 0) return i;
    return -1;
}

}  // namespace

class DocumentTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedDialogs> dialogs_;
    fs::path plainGame_;

private slots:
    void initTestCase()
    {
        if (!fs::exists(DemoGameDir() / "Bin" / "config.cpp")) QSKIP("demo game not built");
        qRegisterMetaType<const mc::TTexture*>();
        qRegisterMetaType<mc::TModelComponent*>();
        SetAppServices(&GuiServices());
        dialogs_ = std::make_unique<TScriptedDialogs>();
        // The demo game without its add-on and without the textures'
        // archive: the same models, other content.
        plainGame_ = TempDir("plain-game");
        fs::copy(DemoGameDir(), plainGame_, fs::copy_options::recursive);
        fs::remove(plainGame_ / "AddOns" / "demo.pbo");
        fs::remove(plainGame_ / "Dta" / "data.pbo");
    }

    void cleanupTestCase()
    {
        dialogs_.reset();
        SetAppServices(nullptr);
    }

    void eachDocumentSignalsInOrderOnce()
    {
        TGameSide demo(DemoGameDir()), plain(plainGame_);
        QCOMPARE(demo.Game.PbList.Count(), 4);
        QCOMPARE(plain.Game.PbList.Count(), 2);

        for (TGameSide* side : {&demo, &plain}) {
            TGameSide* other = side == &demo ? &plain : &demo;
            TModelDocument& doc = *side->Document;
            TSignalRecorder& events = *side->Recorder;
            const bool texturesThere = side == &demo;
            QSignalSpy opened(&doc, &TModelDocument::ModelOpened), lodSelected(&doc, &TModelDocument::LODSelected),
                cleared(&doc, &TModelDocument::ModelCleared), textureShown(&doc, &TModelDocument::TextureShown),
                polygonSelected(&doc, &TModelDocument::PolygonSelected),
                componentSelected(&doc, &TModelDocument::ComponentSelected),
                proxySelected(&doc, &TModelDocument::ProxySelected);

            // Open: the name, the model, then its first LOD.
            QVERIFY(doc.OpenModel("data3d\\tower.p3d", TModelSource::Archive));
            QCOMPARE(events.Take(), (QStringList{"file name", "opened", "lod 0"}));
            QCOMPARE(opened.count(), 1);
            QCOMPARE(lodSelected.count(), 1);
            QCOMPARE(lodSelected.takeFirst().value(0).toInt(), 0);
            QCOMPARE(doc.FileName(), std::string("data3d\\tower.p3d"));
            QCOMPARE(doc.CurrentLODIndex(), 0);
            const TModel& model = *doc.Model();

            // LOD change; the same LOD again is only a refresh.
            doc.SelectLOD(1);
            QCOMPARE(events.Take(), QStringList{"lod 1"});
            doc.SelectLOD(1);
            QCOMPARE(events.Take(), QStringList{"lod again 1"});
            QCOMPARE(lodSelected.count(), 1);

            // A face: its texture first, then the polygon.
            const TLOD& lod = *model.LODs[1];
            QVERIFY(lod.FaceCount() > 2);
            const TFace& face = lod.Faces[2];
            QVERIFY(face.Texture != kNoTexture);
            const QString texture = QString::fromStdString(LowerCase(lod.Textures[face.Texture].Name));
            doc.SelectPolygon(2);
            QCOMPARE(events.Textures.size(), size_t(1));
            QCOMPARE(events.Textures[0] != nullptr, texturesThere);
            QCOMPARE(events.Take(), (QStringList{QStringLiteral("texture %1%2").arg(texture, texturesThere ? "" : " (none)"),
                                                 "polygon 2"}));
            QCOMPARE(doc.CurrentFaceIndex(), 2);
            QCOMPARE(polygonSelected.count(), 1);
            doc.SelectPolygon(lod.FaceCount());  // past the end: nothing
            doc.SelectPolygon(-1);
            QCOMPARE(events.Take(), QStringList());
            QCOMPARE(doc.CurrentFaceIndex(), 2);

            // A texture row: the texture alone, no face.
            doc.SelectTextureRow(face.Texture);
            QCOMPARE(events.Take(), QStringList{QStringLiteral("texture %1%2").arg(texture, texturesThere ? "" : " (none)")});
            QCOMPARE(doc.CurrentFaceIndex(), -1);
            QCOMPARE(textureShown.count(), 2);
            // The texture was read once and is kept.
            QCOMPARE(doc.TextureCache().Count(), 1);
            QCOMPARE(doc.TextureIndexOf(doc.TextureCache().Object(0).get()), texturesThere ? int(face.Texture) : -1);

            // A component becomes the LOD's selection.
            TModelComponent* body = lod.Selections[0].get();
            doc.SelectComponent(body);
            QCOMPARE(events.Take(), QStringList{QStringLiteral("component %1").arg(QString::fromStdString(body->Name))});
            QCOMPARE(componentSelected.count(), 1);

            // A proxy of the Memory LOD; the same proxy again says nothing.
            const int memory = LODWithProxy(model);
            QVERIFY(memory > 1);
            doc.SelectLOD(memory);
            doc.SelectProxy(0);
            QCOMPARE(events.Take(), (QStringList{QStringLiteral("lod %1").arg(memory), "proxy 0"}));
            QCOMPARE(doc.CurrentProxy(), model.LODs[size_t(memory)]->Proxies[0].get());
            doc.SelectProxy(0);
            doc.SelectProxy(model.LODs[size_t(memory)]->Proxies[0].get());
            QCOMPARE(events.Take(), QStringList());
            QCOMPARE(proxySelected.count(), 1);

            // The other document heard nothing of all this.
            QCOMPARE(other->Recorder->Events, QStringList());

            // Close.
            doc.ClearModel();
            QCOMPARE(events.Take(), (QStringList{"cleared", "file name"}));
            QCOMPARE(cleared.count(), 1);
            QVERIFY(!doc.Model());
            QCOMPARE(doc.CurrentLODIndex(), -1);
            QCOMPARE(doc.CurrentFaceIndex(), -1);
            QCOMPARE(doc.CurrentProxyIndex(), -1);
            QCOMPARE(doc.TextureCache().Count(), 0);
            // No selection without a model says nothing either.
            doc.SelectLOD(0);
            events.Take();
            doc.SelectPolygon(0);
            doc.SelectTextureRow(0);
            doc.SelectProxy(0);
            doc.SelectComponent(body);
            QCOMPARE(events.Take(), QStringList());
        }
    }

    void modelsComeFromTheirOwnGameData()
    {
        TGameSide demo(DemoGameDir()), plain(plainGame_);
        // The add-on's model is in the demo game only.
        QVERIFY(demo.Document->OpenModel("\\demo\\barrel.p3d", TModelSource::Archive));
        demo.Recorder->Take();
        std::string reason;
        QVERIFY(!plain.Document->OpenModel("\\demo\\barrel.p3d", TModelSource::Archive, &reason));
        QVERIFY2(reason.find("not found") != std::string::npos, reason.c_str());
        QVERIFY(!plain.Document->Model());
        QCOMPARE(plain.Recorder->Take(), QStringList());
        QCOMPARE(demo.Recorder->Take(), QStringList());

        // A failed open keeps the current model and says nothing.
        QVERIFY(plain.Document->OpenModel("data3d\\crate.p3d", TModelSource::Archive));
        plain.Recorder->Take();
        QVERIFY(!plain.Document->OpenModel("\\demo\\barrel.p3d", TModelSource::Archive));
        QCOMPARE(plain.Document->FileName(), std::string("data3d\\crate.p3d"));
        QCOMPARE(plain.Recorder->Take(), QStringList());

        // Closing one game's archives leaves the other's alone.
        plain.Game.Close();
        QVERIFY(!plain.Document->OpenModel("data3d\\tower.p3d", TModelSource::Archive));
        QVERIFY(demo.Document->OpenModel("data3d\\tower.p3d", TModelSource::Archive));
    }

    void editsMarkTheDocumentModified()
    {
        TGameSide demo(DemoGameDir());
        TModelDocument& doc = *demo.Document;
        doc.SetModified();  // nothing to edit without a model
        QVERIFY(!doc.IsModified());
        QVERIFY(doc.OpenModel("data3d\\crate.p3d", TModelSource::Archive));
        demo.Recorder->Take();
        doc.SetModified();
        doc.SetModified();
        QCOMPARE(demo.Recorder->Take(), QStringList{"modified 1"});
        // A saved model is no longer modified and has the new name.
        const std::string saved = PathToUtf8(TempDir("document") / "crate-saved.p3d");
        QVERIFY(doc.SaveModel(saved, TModelForm::Odol, doc.Model()->SaveFlags));
        QCOMPARE(demo.Recorder->Take(), (QStringList{"file name", "modified 0"}));
        QCOMPARE(doc.FileName(), saved);
        QVERIFY(!doc.IsModified());
        // Another model after edits starts unmodified.
        doc.SetModified();
        QVERIFY(doc.OpenModel("data3d\\tower.p3d", TModelSource::Archive));
        QVERIFY(!doc.IsModified());
        QCOMPARE(demo.Recorder->Take(), (QStringList{"modified 1", "modified 0", "file name", "opened", "lod 0"}));
    }
};

MC_WINDOW_TEST_MAIN(DocumentTest)
#include "DocumentTest.moc"
