// The texture window: the texture of the face selected in the main window,
// with the face's texture coordinates drawn over it and listed in a grid.
#pragma once

#include <QImage>
#include <QRgb>
#include <QWidget>
#include <string>

class QCheckBox;
class QComboBox;
class QTableWidget;

namespace mc {

class TLOD;
class TTexture;
class TTexturePaintBox;

// What the window reads of the model being shown.
class ITextureFormSource {
public:
    virtual ~ITextureFormSource() = default;
    // The current level of detail; nullptr when there is none.
    virtual const TLOD* CurrentLOD() const = 0;
    // The selected face of the current LOD, -1 when none.
    virtual int CurrentFaceIndex() const = 0;
    // The position of the texture's cached name in the current LOD's texture
    // list; -1 when there is none.
    virtual int TextureIndexOf(const TTexture* texture) const = 0;
};

// Colours of the outlines (the model view's colour settings).
struct TTextureOutlineColors {
    QRgb Face = qRgb(128, 128, 128);
    QRgb SelectedFace = qRgb(255, 255, 255);
    QRgb SelectedVertex = qRgb(0, 255, 0);
};

class TTextureForm : public QWidget {
    Q_OBJECT
public:
    explicit TTextureForm(ITextureFormSource& source, QWidget* parent = nullptr);
    ~TTextureForm() override;

    // Not owned: the model document's texture cache holds it.
    const TTexture* CurrentTexture = nullptr;
    std::string TextureName;

    // Refills the coordinate grid for the selected face; a different
    // texture is stored and painted.
    void SetTexture(const TTexture* texture);
    // Stores the name and sets the caption.
    void SetTextureName(const std::string& name);
    // Repaints with the current state.
    void Refresh();

    void SetOutlineColors(const TTextureOutlineColors& colors);
    const TTextureOutlineColors& OutlineColors() const { return colors_; }

    // Composes the picture into Image_Buffer; false when there is no
    // current level of detail (the buffer then holds only the background).
    bool ComposeBuffer();
    // The rectangle the texture is drawn into for the current settings.
    QRect Destination() const;

    TTexturePaintBox* PaintBox_Texture = nullptr;
    QImage Image_Buffer;
    QComboBox* ComboBox_Data = nullptr;
    QComboBox* ComboBox_Size = nullptr;
    QCheckBox* CheckBox_AllPolygons = nullptr;
    QCheckBox* CheckBox_ShowOrder = nullptr;
    QTableWidget* StringGrid_UV = nullptr;

private:
    void FillUVGrid();
    void DrawFace(class QPainter& p, const TLOD& lod, int face, const QRect& d) const;

    ITextureFormSource& source_;
    TTextureOutlineColors colors_;
};

// The paint box: shows the window's composed buffer.
class TTexturePaintBox : public QWidget {
public:
    TTexturePaintBox(TTextureForm* form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TTextureForm* form_;
};

}  // namespace mc
