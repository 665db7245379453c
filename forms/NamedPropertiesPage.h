// The main window's "Named Properties" page: the current LOD's named
// properties in a grid, with the edits and buttons that add, change, delete
// and rename them.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;
class QTableView;

namespace mc {

class TModelDocument;
class TPropertiesGridModel;

class TNamedPropertiesPage : public QWidget {
    Q_OBJECT
public:
    explicit TNamedPropertiesPage(TModelDocument& document, QWidget* parent = nullptr);

    TPropertiesGridModel* GridModel() const { return properties_; }
    // Shows the properties of the document's current LOD.
    void Refill();

    void SelectPropertyRow(int row);
    void OnChange_Edit_NamedProperty_Name();
    void OnClick_Button_NamedProperty_Add();
    void OnClick_Button_NamedProperty_Change();
    void OnClick_Button_NamedProperty_Delete();
    void OnClick_Button_NamedProperty_Rename();

private:
    void Edited();

    TModelDocument& document_;
    TPropertiesGridModel* properties_ = nullptr;
    QTableView* StringGrid_Properties = nullptr;
    QLineEdit* Edit_NamedProperty_Name = nullptr;
    QLineEdit* Edit_NamedProperty_Value = nullptr;
    QPushButton* Button_NamedProperty_Add = nullptr;
    QPushButton* Button_NamedProperty_Change = nullptr;
    QPushButton* Button_NamedProperty_Delete = nullptr;
    QPushButton* Button_NamedProperty_Rename = nullptr;
};

}  // namespace mc
