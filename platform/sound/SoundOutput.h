// Playing one sound: the samples of a WAVE file handed to the system's audio
// output, played, paused and rewound, with the position played so far. The
// archive manager's sound page uses it; tests give it a fake.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Sound/WaveFile.h"

namespace mc {

class ISoundOutput {
public:
    virtual ~ISoundOutput() = default;

    // Takes the samples (PCM as the format says). False, with the reason,
    // when no audio device can play them; the output then does nothing.
    virtual bool Open(const TWaveInfo& format, std::vector<uint8_t> samples, std::string& reason) = 0;
    // Starts or resumes playback from the current position.
    virtual void Play() = 0;
    // Stops where it is; Play goes on from there.
    virtual void Pause() = 0;
    // Stops and rewinds to the start.
    virtual void Stop() = 0;
    // Sample bytes played since the start.
    virtual int64_t PlayedBytes() const = 0;
    // True once playback reached the end of the samples.
    virtual bool Ended() const = 0;
};

using TSoundOutputFactory = std::function<std::unique_ptr<ISoundOutput>()>;

// The system's audio output (Qt Multimedia).
std::unique_ptr<ISoundOutput> CreateSystemSoundOutput();

}  // namespace mc
