#include "CliServices.h"

#include <cstdio>

#include "terminal/Terminal.h"

namespace mc::cli {

TCliServices::TCliServices() : terminal_(platform::IsTerminal(stderr)) { SetAppServices(this); }

TCliServices::~TCliServices()
{
    ClearLine();
    if (GetAppServices() == this) SetAppServices(nullptr);
}

void TCliServices::ClearLine()
{
    if (!lineShown_) return;
    std::fputs("\r\033[K", stderr);
    lineShown_ = false;
}

void TCliServices::Redraw()
{
    if (!terminal_ || quiet_) return;
    ClearLine();
    if (status_.empty() && total_ == 0) return;
    const int width = platform::TerminalWidth(stderr);
    std::string line = status_;
    if (total_ > 0) {
        const int barWidth = 30;
        const uint64_t done = done_ > total_ ? total_ : done_;
        const int filled = static_cast<int>(done * barWidth / total_);
        const int percent = static_cast<int>(done * 100 / total_);
        std::string bar = "[" + std::string(static_cast<size_t>(filled), '#') +
                          std::string(static_cast<size_t>(barWidth - filled), '.') + "] " +
                          std::to_string(percent) + "%";
        line = line.empty() ? bar : bar + " " + line;
    }
    if (static_cast<int>(line.size()) >= width) line.resize(static_cast<size_t>(width > 1 ? width - 1 : 0));
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    lineShown_ = true;
}

void TCliServices::AddLog(std::string_view line)
{
    if (quiet_ && line.substr(0, 7) == "Warning") return;
    ClearLine();
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    Redraw();
}

void TCliServices::ShowStatus(std::string_view text)
{
    status_ = text;
    if (text.empty()) total_ = done_ = 0;
    Redraw();
}

void TCliServices::ShowMessage(TMessageKind kind, std::string_view text)
{
    if (quiet_ && kind == TMessageKind::Warning) return;
    const char* prefix = kind == TMessageKind::Error ? "Error: " : kind == TMessageKind::Warning ? "Warning: " : "";
    ClearLine();
    std::fprintf(stderr, "%s%.*s\n", prefix, static_cast<int>(text.size()), text.data());
    Redraw();
}

void TCliServices::ShowProgress(uint64_t done, uint64_t total)
{
    done_ = done;
    total_ = total;
    Redraw();
}

}  // namespace mc::cli
