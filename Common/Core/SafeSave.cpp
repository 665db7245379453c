#include "Core/SafeSave.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "Core/FilePaths.h"
#include "Core/Strings.h"

namespace mc {

namespace fs = std::filesystem;

namespace {

fs::path TemporaryBeside(const fs::path& target)
{
    std::random_device rd;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = folder / PathFromUtf8("." + PathToUtf8(target.filename()) + Format(".%08x.tmp", rd()));
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate;
    }
    return folder / PathFromUtf8("." + PathToUtf8(target.filename()) + ".tmp");
}

void SetError(std::string* error, std::string text)
{
    if (error) *error = std::move(text);
}

}  // namespace

bool SaveFileSafely(const std::string& path, const std::function<bool(TStream&)>& write, std::string* error)
{
    const fs::path target = PathFromUtf8(path);
    const fs::path temp = TemporaryBeside(target);
    const std::string tempName = PathToUtf8(temp);

    TFileStream stream;
    if (!stream.Open(tempName, TFileStream::Mode::Create)) {
        SetError(error, Format("Cannot create \"%s\"", tempName.c_str()));
        return false;
    }
    bool ok = false;
    try {
        ok = write(stream);
    } catch (...) {
        stream.Close();
        std::error_code ec;
        fs::remove(temp, ec);
        throw;
    }
    if (!stream.Close()) {
        if (ok) SetError(error, kWriteErrorText);
        ok = false;
    } else if (!ok && error && error->empty()) {
        SetError(error, Format("Nothing was saved to \"%s\"", path.c_str()));
    }
    std::error_code ec;
    if (ok) {
        fs::rename(temp, target, ec);
        if (ec) {
            SetError(error, Format("Cannot replace \"%s\": %s", path.c_str(), ec.message().c_str()));
            ok = false;
        }
    }
    if (!ok) fs::remove(temp, ec);
    return ok;
}

}  // namespace mc
