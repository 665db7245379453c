// The main window's "General" page: the model-wide values in a grid, and
// below it the editor of the chosen row (map icon colours, special LODs,
// map icon).
#pragma once

#include <QRgb>
#include <QWidget>

class QComboBox;
class QFrame;
class QPushButton;
class QTabWidget;
class QTableView;

namespace mc {

class TGeneralGridModel;
class TModelDocument;

// Pages of PageControl_General.
enum TGeneralPage : int { GeneralPageColor = 0, GeneralPageLOD = 1, GeneralPageMapIcon = 2 };

class TGeneralPageWidget : public QWidget {
    Q_OBJECT
public:
    explicit TGeneralPageWidget(TModelDocument& document, QWidget* parent = nullptr);

    TGeneralGridModel* GridModel() const { return general_; }
    // The grid row being edited (1..16), -1 for none.
    int GeneralRow() const { return generalRow_; }
    int ActiveEditor() const { return activeEditor_; }
    // Shows the document's model (none: an empty grid).
    void Refill();

    void SelectGeneralRow(int row);
    QRgb RGBSwatch() const { return rgbSwatch_; }
    QRgb AlphaSwatch() const { return alphaSwatch_; }
    void SetRGBSwatch(QRgb color);
    void SetAlphaSwatch(QRgb color);
    void OnClick_Button_General_Color_RGB();
    void OnClick_Button_General_Color_Alpha();
    void OnClick_Button_General_Color_Change();
    void OnClick_Button_General_LOD_Change();
    void OnClick_Button_General_MapIcon_Change();

private:
    void ShowEditor(int page);
    void Edited();

    TModelDocument& document_;
    TGeneralGridModel* general_ = nullptr;
    QTableView* StringGrid_General = nullptr;
    QTabWidget* PageControl_General = nullptr;
    QFrame* Shape_General_Color_RGB = nullptr;
    QFrame* Shape_General_Color_Alpha = nullptr;
    QPushButton* Button_General_Color_RGB = nullptr;
    QPushButton* Button_General_Color_Alpha = nullptr;
    QPushButton* Button_General_Color_Change = nullptr;
    QComboBox* ComboBox_General_LOD = nullptr;
    QPushButton* Button_General_LOD_Change = nullptr;
    QComboBox* ComboBox_General_MapIcon = nullptr;
    QPushButton* Button_General_MapIcon_Change = nullptr;
    QRgb rgbSwatch_ = 0xFF000000;
    QRgb alphaSwatch_ = 0xFF000000;
    int generalRow_ = -1;
    int activeEditor_ = -1;
};

}  // namespace mc
