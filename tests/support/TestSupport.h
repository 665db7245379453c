// Shared helpers of the library tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Core/AppServices.h"

namespace mc::test {

// Records what the library asks of the program around it; bound for the
// lifetime of the object.
class TRecordingServices : public IAppServices {
public:
    TRecordingServices();
    ~TRecordingServices() override;

    void AddLog(std::string_view line) override { Log.emplace_back(line); }
    void ShowStatus(std::string_view text) override { Status.emplace_back(text); }
    void ShowMessage(TMessageKind kind, std::string_view text) override
    {
        Messages.emplace_back(text);
        MessageKinds.push_back(kind);
    }
    void BeginWait() override { ++WaitDepth; }
    void EndWait() override { --WaitDepth; }

    std::vector<std::string> Log, Status, Messages;
    std::vector<TMessageKind> MessageKinds;  // one per message
    int WaitDepth = 0;

private:
    IAppServices* previous_;
};

// Folder of real files made by others; empty when it is not there.
std::filesystem::path RealDataDir();
// The files of a sub-folder of it, sorted by name.
std::vector<std::filesystem::path> RealFiles(const std::string& subfolder, const std::string& extension = {});

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

// A fresh empty folder for one test.
std::filesystem::path TempDir(const std::string& name);

}  // namespace mc::test
