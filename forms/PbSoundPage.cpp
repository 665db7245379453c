#include "PbSoundPage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "Core/AppServices.h"
#include "Core/Strings.h"

namespace mc {

QString ChannelsText(int channels)
{
    if (channels == 1) return QStringLiteral("Mono");
    if (channels == 2) return QStringLiteral("Stereo");
    return QString::number(channels);
}

QString PlayTimeText(int64_t playedBytes, uint32_t bytesPerSecond)
{
    const int64_t seconds = bytesPerSecond ? playedBytes / bytesPerSecond : 0;
    return QString::fromStdString(Format("Time: %.2d:%.2d:%.2d", static_cast<int>(seconds / 3600),
                                         static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60)));
}

TPbSoundPage::TPbSoundPage(QWidget* parent) : QWidget(parent), factory_(CreateSystemSoundOutput)
{
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const auto addRow = [&](int row, const char* caption, QLabel*& value, const char* name) {
        grid->addWidget(new QLabel(QString::fromLatin1(caption), this), row, 0);
        value = new QLabel(this);
        value->setObjectName(QString::fromLatin1(name));
        grid->addWidget(value, row, 1);
    };
    addRow(0, "Channels:", Label_Channels, "Label_Sound_Channels");
    addRow(1, "Frequency:", Label_Frequency, "Label_Sound_Frequency");
    addRow(2, "Bits Per Sample:", Label_BitsPerSample, "Label_Sound_BitsPerSample");
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    TrackBar_Position = new QSlider(Qt::Horizontal, this);
    TrackBar_Position->setObjectName("TrackBar_Sound_Position");
    TrackBar_Position->setRange(0, 0);
    // It shows the position; playback is driven by the buttons.
    TrackBar_Position->setAttribute(Qt::WA_TransparentForMouseEvents);
    TrackBar_Position->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(TrackBar_Position);

    Label_Time = new QLabel(PlayTimeText(0, 0), this);
    Label_Time->setObjectName("Label_Sound_Time");
    layout->addWidget(Label_Time);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setEnabled(false);
        buttons->addWidget(b);
        return b;
    };
    Button_Play = addButton("Play", "Button_Sound_Play");
    Button_Pause = addButton("Pause", "Button_Sound_Pause");
    Button_Stop = addButton("Stop", "Button_Sound_Stop");
    buttons->addStretch(1);
    layout->addLayout(buttons);
    layout->addStretch(1);

    Timer_Sound = new QTimer(this);
    Timer_Sound->setObjectName("Timer_Sound");
    Timer_Sound->setInterval(10);

    connect(Button_Play, &QPushButton::clicked, this, [this] { OnClick_Button_Play(); });
    connect(Button_Pause, &QPushButton::clicked, this, [this] { OnClick_Button_Pause(); });
    connect(Button_Stop, &QPushButton::clicked, this, [this] { OnClick_Button_Stop(); });
    connect(Timer_Sound, &QTimer::timeout, this, [this] { OnTimer_Sound(); });
}

TPbSoundPage::~TPbSoundPage() { Clear(); }

void TPbSoundPage::SetOutputFactory(TSoundOutputFactory factory) { factory_ = std::move(factory); }

bool TPbSoundPage::Playing() const { return Timer_Sound->isActive(); }

bool TPbSoundPage::ShowWave(std::vector<uint8_t> wave, const std::string& name, std::string* reason)
{
    TWaveInfo format;
    std::string why;
    if (!ParseWave(wave.data(), wave.size(), format, &why)) {
        if (reason) *reason = why;
        return false;
    }
    Clear();
    format_ = format;
    Label_Channels->setText(ChannelsText(format.Channels));
    Label_Frequency->setText(QString::number(format.SamplesPerSec));
    Label_BitsPerSample->setText(QString::number(format.BitsPerSample));
    TrackBar_Position->setRange(0, static_cast<int>(std::min<size_t>(format.DataSize, INT32_MAX)));
    TrackBar_Position->setValue(0);
    ShowTime(0);

    const auto first = wave.begin() + static_cast<std::ptrdiff_t>(format.DataOffset);
    std::vector<uint8_t> samples(first, first + static_cast<std::ptrdiff_t>(format.DataSize));
    wave.clear();
    output_ = factory_ ? factory_() : nullptr;
    if (!output_) {
        why = "there is no sound output";
    } else if (!output_->Open(format, std::move(samples), why)) {
        output_.reset();
    }
    if (!output_) AddLog(Format("Sound \"%s\" cannot be played: %s", name.c_str(), why.c_str()));
    Button_Play->setEnabled(output_ != nullptr);
    return true;
}

void TPbSoundPage::Clear()
{
    Timer_Sound->stop();
    if (output_) output_->Stop();
    output_.reset();
    format_ = {};
    Button_Play->setEnabled(false);
    Button_Pause->setEnabled(false);
    Button_Stop->setEnabled(false);
}

void TPbSoundPage::OnClick_Button_Play()
{
    if (!output_) return;
    output_->Play();
    Button_Play->setEnabled(false);
    Button_Pause->setEnabled(true);
    Button_Stop->setEnabled(true);
    Timer_Sound->start();
}

void TPbSoundPage::OnClick_Button_Pause()
{
    if (!output_) return;
    output_->Pause();
    Button_Play->setEnabled(true);
    Button_Pause->setEnabled(false);
    Button_Stop->setEnabled(false);
    Timer_Sound->stop();
}

void TPbSoundPage::OnClick_Button_Stop()
{
    if (!output_) return;
    output_->Stop();
    Button_Play->setEnabled(true);
    Button_Pause->setEnabled(false);
    Button_Stop->setEnabled(false);
    Timer_Sound->stop();
    TrackBar_Position->setValue(0);
    ShowTime(0);
}

void TPbSoundPage::OnTimer_Sound()
{
    if (!output_) {
        Timer_Sound->stop();
        return;
    }
    if (output_->Ended()) {
        OnClick_Button_Stop();
        return;
    }
    const int64_t played = output_->PlayedBytes();
    TrackBar_Position->setValue(static_cast<int>(std::min<int64_t>(played, TrackBar_Position->maximum())));
    ShowTime(played);
}

void TPbSoundPage::ShowTime(int64_t playedBytes) { Label_Time->setText(PlayTimeText(playedBytes, format_.AvgBytesPerSec)); }

}  // namespace mc
