// The services the library asks of the program around it: log lines, status
// text, message boxes, the busy cursor and progress. The GUI binds them to
// its widgets, the command line to the terminal, tests to a recorder.
#pragma once

#include <cstdint>
#include <string_view>

namespace mc {

enum class TMessageKind { Information, Warning, Error };

class IAppServices {
public:
    virtual ~IAppServices() = default;
    virtual void AddLog(std::string_view line) = 0;
    // Progress text of long work; the empty text hides it.
    virtual void ShowStatus(std::string_view text) = 0;
    // A modal box with one OK button.
    virtual void ShowMessage(TMessageKind kind, std::string_view text) = 0;
    virtual void BeginWait() = 0;
    virtual void EndWait() = 0;
    // Optional finer progress of long work (done of total units).
    virtual void ShowProgress(uint64_t done, uint64_t total) {}
};

// Binds the services (nullptr: none; every call then does nothing).
void SetAppServices(IAppServices* services);
IAppServices* GetAppServices();

void AddLog(std::string_view line);
void ShowStatus(std::string_view text);
inline void HideStatus() { ShowStatus({}); }
void ShowMessage(TMessageKind kind, std::string_view text);
void BeginWait();
void EndWait();
void ShowProgress(uint64_t done, uint64_t total);

// Busy cursor for the lifetime of the object.
class TWaitCursor {
public:
    TWaitCursor() { BeginWait(); }
    ~TWaitCursor() { EndWait(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace mc
