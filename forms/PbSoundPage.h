// The archive manager's sound page: the format of a WAVE sound, a position
// bar and Play / Pause / Stop over a sound output, with the time played
// updated every 10 ms while it plays.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "sound/SoundOutput.h"

class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace mc {

class TPbSoundPage : public QWidget {
    Q_OBJECT
public:
    explicit TPbSoundPage(QWidget* parent = nullptr);
    ~TPbSoundPage() override;

    // How outputs are made (the system's audio output unless set).
    void SetOutputFactory(TSoundOutputFactory factory);

    // Shows a WAVE sound: its format in the labels, the position bar at 0.
    // False, with the reason, when the bytes are no WAVE sound (the page is
    // left as it was). When no output can play it, Play stays disabled and
    // the log says why.
    bool ShowWave(std::vector<uint8_t> wave, const std::string& name, std::string* reason = nullptr);
    // Stops and forgets the sound.
    void Clear();

    void OnClick_Button_Play();
    void OnClick_Button_Pause();
    void OnClick_Button_Stop();
    void OnTimer_Sound();

    const TWaveInfo& WaveFormat() const { return format_; }
    ISoundOutput* Output() const { return output_.get(); }
    bool Playing() const;

    QLabel* Label_Channels = nullptr;
    QLabel* Label_Frequency = nullptr;
    QLabel* Label_BitsPerSample = nullptr;
    QLabel* Label_Time = nullptr;
    QSlider* TrackBar_Position = nullptr;
    QPushButton* Button_Play = nullptr;
    QPushButton* Button_Pause = nullptr;
    QPushButton* Button_Stop = nullptr;
    QTimer* Timer_Sound = nullptr;

private:
    void ShowTime(int64_t playedBytes);

    TSoundOutputFactory factory_;
    std::unique_ptr<ISoundOutput> output_;
    TWaveInfo format_;
};

// "Mono", "Stereo", or the number of channels.
QString ChannelsText(int channels);
// "Time: %.2d:%.2d:%.2d" of the bytes played at that rate.
QString PlayTimeText(int64_t playedBytes, uint32_t bytesPerSecond);

}  // namespace mc
