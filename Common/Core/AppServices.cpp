#include "Core/AppServices.h"

namespace mc {

namespace {
IAppServices* g_services = nullptr;
}

void SetAppServices(IAppServices* services) { g_services = services; }
IAppServices* GetAppServices() { return g_services; }

void AddLog(std::string_view line)
{
    if (g_services) g_services->AddLog(line);
}

void ShowStatus(std::string_view text)
{
    if (g_services) g_services->ShowStatus(text);
}

void ShowMessage(TMessageKind kind, std::string_view text)
{
    if (g_services) g_services->ShowMessage(kind, text);
}

void BeginWait()
{
    if (g_services) g_services->BeginWait();
}

void EndWait()
{
    if (g_services) g_services->EndWait();
}

void ShowProgress(uint64_t done, uint64_t total)
{
    if (g_services) g_services->ShowProgress(done, total);
}

}  // namespace mc
