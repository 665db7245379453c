// Application services of the command-line tool: log lines and messages go
// to standard error, progress is drawn as a bar when that is a terminal.
#pragma once

#include <cstdint>
#include <string>

#include "Core/AppServices.h"

namespace mc::cli {

class TCliServices : public IAppServices {
public:
    TCliServices();
    ~TCliServices() override;

    void AddLog(std::string_view line) override;
    void ShowStatus(std::string_view text) override;
    void ShowMessage(TMessageKind kind, std::string_view text) override;
    void BeginWait() override {}
    void EndWait() override {}
    void ShowProgress(uint64_t done, uint64_t total) override;

    // Quiet mode drops warnings (boxes and log lines that begin with
    // "Warning"), status and progress; errors and refusals stay.
    void SetQuiet(bool quiet) { quiet_ = quiet; }

private:
    void ClearLine();
    void Redraw();

    bool terminal_ = false;
    bool quiet_ = false;
    bool lineShown_ = false;
    std::string status_;
    uint64_t done_ = 0, total_ = 0;
};

}  // namespace mc::cli
