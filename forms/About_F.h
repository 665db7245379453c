// The about box: the program's version, the web site, the operating system
// and the machine's memory.
#pragma once

#include <QDialog>
#include <QLocale>
#include <cstdint>

class QLabel;
class QPushButton;

namespace mc {

// "total / available" in KiB (bytes / 1024, rounded down), each with the
// locale's thousands separators.
QString MemoryText(uint64_t totalBytes, uint64_t availableBytes, const QLocale& locale = QLocale());

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);
    ~TAboutForm() override;

    // Opens the web site in the system's browser.
    void OnClick_Label_URL();

    QLabel* Label_Version = nullptr;
    QLabel* Label_Notice = nullptr;
    QLabel* Label_URL = nullptr;
    QLabel* Label_OS = nullptr;
    QLabel* Label_MemoryCaption = nullptr;
    QLabel* Label_Memory = nullptr;
    QLabel* Image_Logo = nullptr;
    QLabel* Image_Model = nullptr;
    QLabel* Image_Texture = nullptr;
    QPushButton* Button_OK = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
};

// The program's about box while it exists.
inline TAboutForm* AboutForm = nullptr;

}  // namespace mc
