// The sound output over Qt Multimedia: a QAudioSink reading the samples from
// a buffer in memory.
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>

#include "sound/SoundOutput.h"

namespace mc {

namespace {

class TQtSoundOutput : public ISoundOutput {
public:
    ~TQtSoundOutput() override
    {
        if (sink_) sink_->stop();
    }

    bool Open(const TWaveInfo& format, std::vector<uint8_t> samples, std::string& reason) override
    {
        if (format.FormatTag != 1) {
            reason = "only PCM samples can be played";
            return false;
        }
        QAudioFormat f;
        f.setChannelCount(format.Channels);
        f.setSampleRate(static_cast<int>(format.SamplesPerSec));
        switch (format.BitsPerSample) {
        case 8: f.setSampleFormat(QAudioFormat::UInt8); break;
        case 16: f.setSampleFormat(QAudioFormat::Int16); break;
        case 32: f.setSampleFormat(QAudioFormat::Int32); break;
        default:
            reason = "samples of " + std::to_string(format.BitsPerSample) + " bits cannot be played";
            return false;
        }
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            reason = "there is no audio output device";
            return false;
        }
        if (!device.isFormatSupported(f)) {
            reason = "the audio device \"" + device.description().toStdString() + "\" does not play this format";
            return false;
        }
        bytesPerSecond_ = static_cast<double>(f.bytesForDuration(1000000));
        data_ = QByteArray(reinterpret_cast<const char*>(samples.data()), static_cast<qsizetype>(samples.size()));
        buffer_.setBuffer(&data_);
        if (!buffer_.open(QIODevice::ReadOnly)) {
            reason = "the samples cannot be read";
            return false;
        }
        sink_ = std::make_unique<QAudioSink>(device, f);
        return true;
    }

    void Play() override
    {
        if (!sink_) return;
        if (sink_->state() == QAudio::SuspendedState) {
            sink_->resume();
            return;
        }
        if (start_ >= data_.size()) start_ = 0;
        buffer_.seek(start_);
        sink_->start(&buffer_);
    }

    void Pause() override
    {
        if (!sink_) return;
        if (sink_->state() == QAudio::ActiveState || sink_->state() == QAudio::IdleState) sink_->suspend();
    }

    void Stop() override
    {
        if (!sink_) return;
        sink_->stop();
        start_ = 0;
        buffer_.seek(0);
    }

    int64_t PlayedBytes() const override
    {
        if (!sink_ || sink_->state() == QAudio::StoppedState) return start_;
        const double played = static_cast<double>(sink_->processedUSecs()) * bytesPerSecond_ / 1e6;
        const int64_t position = start_ + static_cast<int64_t>(played);
        return std::min<int64_t>(position, data_.size());
    }

    bool Ended() const override
    {
        return sink_ && sink_->state() == QAudio::IdleState && buffer_.atEnd();
    }

private:
    QByteArray data_;
    QBuffer buffer_;
    std::unique_ptr<QAudioSink> sink_;
    double bytesPerSecond_ = 0;
    int64_t start_ = 0;
};

}  // namespace

std::unique_ptr<ISoundOutput> CreateSystemSoundOutput() { return std::make_unique<TQtSoundOutput>(); }

}  // namespace mc
