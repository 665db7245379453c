// The alpha-channel dialog: picks an alpha value 0..255 with a slider and
// previews it by blending a foreground picture over a background picture.
// Colours are words with red in the lowest byte (see ColorConvert.h).
#pragma once

#include <QDialog>
#include <QImage>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace mc {

// The value a mouse x on the slider of the given width chooses: x - 4
// within the scale, 0 left of it, 255 right of it.
int AlphaFromSliderX(int x, int width);

// Background and foreground blended by alpha (0..255) into a copy of the
// background: pixels (x, y) with x and y from 0 to 95 become, per channel,
// trunc(foreground x a + background x (1 - a)) with a = alpha / 255.
QImage BlendAlphaPreview(const QImage& background, const QImage& foreground, int alpha);

class TAlphaSlider;

class TAlphaColorForm : public QDialog {
    Q_OBJECT
public:
    explicit TAlphaColorForm(QWidget* parent = nullptr);
    ~TAlphaColorForm() override;

    int AlphaValue = 255;

    // AlphaValue := the colour's low byte.
    void SetAlpha(uint32_t color);
    // Fills the foreground with the colour and writes the three lines of
    // help text over it in the inverse colour.
    void SetForeground(uint32_t color);
    // Refreshes the controls and shows the dialog modally; true on "OK".
    bool Execute();
    // The grey of AlphaValue.
    uint32_t AlphaColor() const;

    // A changed value repaints the slider, sets the edit and the preview.
    void ApplyValue(int value);
    // The check of the typed value; true when it was applied or empty.
    bool CheckEditValue();
    void Refresh();

    void OnClick_Button_Background();
    void OnClick_Button_Foreground();
    void OnClick_Button_Default();

    TAlphaSlider* PaintBox_Value = nullptr;
    QLineEdit* Edit_Value = nullptr;
    QWidget* UpDown_Value = nullptr;
    QLabel* Image_Example = nullptr;
    QImage Image_Background;
    QImage Image_Foreground;
    QImage Image_Background_Default;
    QPushButton* Button_Background = nullptr;
    QPushButton* Button_Foreground = nullptr;
    QPushButton* Button_Default = nullptr;
    QPushButton* Button_OK = nullptr;
    QPushButton* Button_Cancel = nullptr;

private:
    void UpdatePreview();
    bool LoadPicture(QImage& target, int size);

    bool checking_ = false;
};

// The slider: a grey scale 0..255 with a red marker at the value.
class TAlphaSlider : public QWidget {
    Q_OBJECT
public:
    TAlphaSlider(TAlphaColorForm* form, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;

private:
    TAlphaColorForm* form_;
};

// The program's alpha-channel dialog while it exists.
inline TAlphaColorForm* AlphaColorForm = nullptr;

}  // namespace mc
