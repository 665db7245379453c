// The archive manager's previews: textures, HTML pages, scripts, string
// tables and sounds of the selected list row.
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>

#include "Archive/PbFile.h"
#include "Archive/PbList.h"
#include "Config/StringTable.h"
#include "Core/AppServices.h"
#include "Core/Strings.h"
#include "PbFileTypes.h"
#include "PbListModel.h"
#include "PbSoundPage.h"
#include "PbTextureBox.h"
#include "Pb_F.h"
#include "PixelImageQt.h"
#include "QtText.h"
#include "Sound/WssToWave.h"
#include "StringTableGridModel.h"
#include "Texture/TextureLoader.h"
#include "Texture/TextureTypes.h"

namespace mc {

namespace {

std::unique_ptr<TMemoryStream> ExtractEntry(const TPbItem& item)
{
    if (!item.IsFile() || !item.Owner) return nullptr;
    return TPbList::ExtractFrom(*item.Owner, item.FullName());
}

}  // namespace

int TPbForm::PreviewPage() const { return PageControl_Left->currentIndex(); }

void TPbForm::SetSoundOutputFactory(TSoundOutputFactory factory)
{
    TabSheet_Sound_Page->SetOutputFactory(std::move(factory));
}

QString TPbForm::HtmlFolder() const { return htmlFolder_ ? htmlFolder_->path() : QString(); }

void TPbForm::ShowPage(int index)
{
    for (int i = 0; i < PageControl_Left->count(); ++i) PageControl_Left->setTabVisible(i, i == index);
    PageControl_Left->setCurrentIndex(index);
    // A sound plays only while its page is shown.
    if (index != PbPreviewSound) TabSheet_Sound_Page->Clear();
}

void TPbForm::SelectListRow(int row)
{
    TPbItem* item = listModel_->Item(row);
    if (!item) return;
    if (item != currentItem_) {
        ShowPreview(item);
    } else {
        RefreshTextureControls();
    }
}

void TPbForm::ClearPreview()
{
    currentItem_ = nullptr;
    previewTexture_.reset();
    htmlArchive_ = nullptr;
    ShowPage(0);
    RefreshTextureControls();
}

void TPbForm::ShowPreview(TPbItem* item)
{
    currentItem_ = item;
    previewTexture_.reset();
    if (!item) {
        ShowPage(0);
        RefreshTextureControls();
        return;
    }
    const std::string gamePath = item->FullName();
    const TPbPreviewKind kind = item->IsFile() ? PbPreviewKind(item->Name) : PbPreviewNone;
    try {
        switch (kind) {
        case PbPreviewTexture: {
            std::unique_ptr<TTexture> texture;
            if (auto stream = ExtractEntry(*item)) texture = LoadTextureFromStream(*stream, 0);
            ShowTexturePreview(gamePath, std::move(texture));
            ShowPage(PbPreviewTexture);
            break;
        }
        case PbPreviewHtml:
            if (auto stream = ExtractEntry(*item)) {
                ShowHtmlPreview(*item, stream->Bytes());
                ShowPage(PbPreviewHtml);
            }
            break;
        case PbPreviewScript:
            if (auto stream = ExtractEntry(*item)) {
                const auto& bytes = stream->Bytes();
                Memo_Script->setPlainText(
                    ToQString(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
                ShowPage(PbPreviewScript);
            }
            break;
        case PbPreviewStringTable:
            if (auto stream = ExtractEntry(*item)) {
                stringTable_->SetTable(LoadStringTable(gamePath, *stream));
                ShowPage(PbPreviewStringTable);
            }
            break;
        case PbPreviewSound:
            if (auto stream = ExtractEntry(*item)) {
                std::string reason;
                if (LowerExt(item->Name) == ".wss") {
                    stream = WssToWave(*stream, &reason);
                    if (!stream) {
                        AddLog(Format("Sound \"%s\" not converted: %s", gamePath.c_str(), reason.c_str()));
                        break;
                    }
                }
                if (!TabSheet_Sound_Page->ShowWave(stream->TakeBytes(), gamePath, &reason)) {
                    AddLog(Format("Sound \"%s\" not shown: %s", gamePath.c_str(), reason.c_str()));
                    break;
                }
                ShowPage(PbPreviewSound);
            }
            break;
        default: ShowPage(0); break;
        }
    } catch (const std::exception& e) {
        // A damaged entry: its page stays as it was.
        AddLog(Format("Cannot preview \"%s\": %s", gamePath.c_str(), e.what()));
    }
    RefreshTextureControls();
}

void TPbForm::ShowTexturePreview(const std::string& gamePath, std::unique_ptr<TTexture> texture)
{
    previewTexture_ = std::move(texture);
    const QSignalBlocker block(ComboBox_Texture_MipMaps);
    ComboBox_Texture_MipMaps->clear();
    if (!previewTexture_ || previewTexture_->LevelCount() == 0) {
        previewTexture_.reset();
        Label_Texture_Name->clear();
        Label_Texture_Type->clear();
        Label_Texture_Palette->clear();
        return;
    }
    const TTexture& t = *previewTexture_;
    Label_Texture_Name->setText(ToQString(gamePath));
    Label_Texture_Type->setText(QString::fromStdString(TextureTypeName(t.TextureType)));
    Label_Texture_Palette->setText(t.PaletteCount > 0 ? QStringLiteral("%1 entries").arg(t.PaletteCount)
                                                      : QStringLiteral("None"));
    const QSize area = PaintBox_Texture->size();
    const int preferred = t.PreferredLevel(area.width(), area.height(), TLevelChoice::AtMost);
    ComboBox_Texture_MipMaps->addItem(QString::fromStdString(
        Format("Pref.(%d x %d)", t.LevelWidth(preferred), t.LevelHeight(preferred))));
    for (int i = 0; i < t.LevelCount(); ++i)
        ComboBox_Texture_MipMaps->addItem(
            QString::fromStdString(Format("%d x %d", t.LevelWidth(i), t.LevelHeight(i))));
    ComboBox_Texture_MipMaps->setCurrentIndex(0);
}

void TPbForm::RefreshTextureControls()
{
    const TTexture* t = previewTexture_.get();
    ComboBox_Texture_MipMaps->setEnabled(t != nullptr);
    ComboBox_Texture_Data->setEnabled(t != nullptr);
    if (!t) {
        Label_Texture_Name->clear();
        Label_Texture_Type->clear();
        Label_Texture_Palette->clear();
        PaintBox_Texture->SetPicture({}, {});
        return;
    }
    const QSize area = PaintBox_Texture->size();
    const int entry = ComboBox_Texture_MipMaps->currentIndex();
    int level;
    QSize size;
    if (entry <= 0) {
        level = t->PreferredLevel(area.width(), area.height(), TLevelChoice::AtMost);
        size = HalvedToFit(QSize(t->LevelWidth(level), t->LevelHeight(level)), area);
    } else {
        level = entry - 1;
        size = QSize(t->LevelWidth(level), t->LevelHeight(level));
    }
    const TMipMap* mip = t->Level(level);
    const bool alpha = ComboBox_Texture_Data->currentIndex() == 1;
    PaintBox_Texture->SetPicture(mip ? ToQImage(alpha ? mip->AlphaImage : mip->ColorImage) : QImage(), size);
}

void TPbForm::ShowHtmlPreview(const TPbItem& item, const std::vector<uint8_t>& bytes)
{
    if (!htmlFolder_) {
        htmlFolder_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/meshcraft-XXXXXX"));
        if (!htmlFolder_->isValid()) {
            AddLog(Format("Cannot preview \"%s\": no temporary folder (%s)", item.FullName().c_str(),
                          FromQString(htmlFolder_->errorString()).c_str()));
            htmlFolder_.reset();
            return;
        }
    }
    const QString path =
        htmlFolder_->filePath(QStringLiteral("preview%1.html").arg(QRandomGenerator::global()->bounded(100)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size())) {
        AddLog(Format("Cannot write \"%s\"", FromQString(path).c_str()));
        return;
    }
    file.close();
    htmlFile_ = path;
    htmlArchive_ = item.Owner;
    const size_t slash = item.Name.find_last_of('\\');
    htmlEntryFolder_ = slash == std::string::npos ? std::string() : item.Name.substr(0, slash + 1);
    // The same file name again: the document must be read anew.
    WebBrowser_HTML->document()->clear();
    WebBrowser_HTML->clearHistory();
    const QUrl url = QUrl::fromLocalFile(path);
    if (WebBrowser_HTML->source() == url)
        WebBrowser_HTML->reload();
    else
        WebBrowser_HTML->setSource(url);
}

QVariant TPbForm::HtmlResource(int type, const QUrl& url) const
{
    if (!htmlArchive_ || !htmlFolder_ || !url.isLocalFile()) return {};
    const QString local = url.toLocalFile();
    if (QFileInfo::exists(local)) return {};
    const QString relative = QDir(htmlFolder_->path()).relativeFilePath(local);
    if (relative.startsWith(QStringLiteral(".."))) return {};
    std::string entry = htmlEntryFolder_ + FromQString(relative);
    for (char& c : entry)
        if (c == '/') c = '\\';
    const TPbFileItem* file = htmlArchive_->FindFile(entry);
    if (!file) return {};
    try {
        auto stream = TPbList::ExtractFrom(*htmlArchive_, htmlArchive_->Name + "\\" + entry);
        if (!stream) return {};
        if (type == QTextDocument::ImageResource) {
            if (IsTextureFileName(entry)) {
                auto texture = LoadTextureFromStream(*stream, 0);
                const TMipMap* level = texture ? texture->Level(0) : nullptr;
                return level ? QVariant(ToQImage(level->ColorImage)) : QVariant();
            }
            QImage picture;
            picture.loadFromData(stream->Bytes().data(), static_cast<int>(stream->Bytes().size()));
            return picture.isNull() ? QVariant() : QVariant(picture);
        }
        const auto& bytes = stream->Bytes();
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace mc
