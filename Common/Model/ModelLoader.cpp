#include "Model/ModelLoader.h"

#include <exception>
#include <vector>

#include "Core/AppServices.h"
#include "Core/SafeSave.h"
#include "Core/Stream.h"
#include "Core/StreamIO.h"
#include "Core/Strings.h"
#include "Model/Mlod.h"
#include "Model/Model.h"
#include "Model/Odol.h"

namespace mc {

namespace {

bool Refuse(std::string* reason, std::string text)
{
    if (reason) *reason = std::move(text);
    return false;
}

}  // namespace

bool LoadModelDispatch(TModel& model, TStream& s, const std::string& name, ITextureHeaderSource* headers,
                       std::string* reason)
{
    model.FileName = name;
    if (s.Remaining() < 4) return Refuse(reason, "invalid file size");
    model.Signature = ReadCardinal(s);

    if (model.Signature == kSignatureODOL) {
        const uint32_t version = ReadCardinal(s);
        if (version != kOdolVersion)
            return Refuse(reason, version > kOdolVersion
                                      ? Format("version mismatch: game-ready model of a later game (ODOL version %u), "
                                               "not supported",
                                               version)
                                      : Format("version mismatch (ODOL version %u)", version));
        if (!ReadOdolBody(model, s)) return Refuse(reason, "file possible corrupted");
    } else if (model.Signature == kSignatureMLOD) {
        AddLog("Warning: MLOD (demo) model format!");
        if (ReadCardinal(s) != kMlodVersion) return Refuse(reason, "version mismatch");
        if (!ReadMlodBody(model, s, headers)) return Refuse(reason, "file possible corrupted");
    } else {
        return Refuse(reason, "unknown model format");
    }

    if (!model.LODs.empty() && model.LODs[0]->PropertyValue("class") == "road") model.MapIcon = kMapIconRoad;
    return true;
}

namespace {

// Reads into model; the reason of a refusal (logged), empty on success.
std::string ReadInto(TModel& model, TStream& s, const std::string& name, ITextureHeaderSource* headers)
{
    // Refusals the dispatch names are logged as "Cannot load", errors raised
    // inside it as "Cannot load model".
    std::string reason;
    const char* line = "Cannot load model \"%s\": %s";
    try {
        if (LoadModelDispatch(model, s, name, headers, &reason)) return {};
        line = "Cannot load \"%s\": %s";
    } catch (const std::bad_alloc&) {
        reason = "out of memory";
    } catch (const std::exception& e) {
        reason = e.what();
    }
    if (reason.empty()) reason = "file possible corrupted";
    AddLog(Format(line, name.c_str(), reason.c_str()));
    return reason;
}

}  // namespace

TLoadResult<TModel> ReadModel(TStream& s, const std::string& name, ITextureHeaderSource* headers)
{
    auto model = std::make_unique<TModel>();
    std::string reason = ReadInto(*model, s, name, headers);
    if (!reason.empty()) return TLoadResult<TModel>::Refused(std::move(reason));
    return TLoadResult<TModel>(std::move(model));
}

TLoadResult<TModel> ReadModelFromMemory(const void* data, size_t size, const std::string& name,
                                        ITextureHeaderSource* headers)
{
    TMemoryReader reader(data, size);
    return ReadModel(reader, name, headers);
}

TLoadResult<TModel> ReadModelFromFile(const std::string& path, ITextureHeaderSource* headers)
{
    std::string reason = FileRefusal(path);
    std::vector<uint8_t> bytes;
    if (reason.empty() && !ReadWholeFile(path, bytes)) reason = "\"" + path + "\" cannot be read";
    if (!reason.empty()) {
        AddLog(Format("Cannot load \"%s\": %s", path.c_str(), reason.c_str()));
        return TLoadResult<TModel>::Refused(std::move(reason));
    }
    return ReadModelFromMemory(bytes.data(), bytes.size(), path, headers);
}

bool LoadModelFromStream(TModel& model, TStream& s, const std::string& name, ITextureHeaderSource* headers)
{
    return ReadInto(model, s, name, headers).empty();
}

std::unique_ptr<TModel> LoadModelFromMemory(const void* data, size_t size, const std::string& name,
                                            ITextureHeaderSource* headers)
{
    return ReadModelFromMemory(data, size, name, headers).Release();
}

std::unique_ptr<TModel> LoadModelFromFile(const std::string& path, ITextureHeaderSource* headers)
{
    return ReadModelFromFile(path, headers).Release();
}

namespace {

bool SaveModelFile(const TModel& model, const std::string& path, std::string* error,
                   bool (*save)(const TModel&, TStream&))
{
    try {
        return SaveFileSafely(
            path,
            [&](TStream& s) {
                if (save(model, s)) return true;
                if (error) *error = "the model holds data that cannot be written";
                return false;
            },
            error);
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

}  // namespace

bool SaveModelOdolFile(const TModel& model, const std::string& path, std::string* error)
{
    return SaveModelFile(model, path, error, SaveOdol);
}

bool SaveModelMlodFile(const TModel& model, const std::string& path, std::string* error)
{
    return SaveModelFile(model, path, error, SaveMlod);
}

}  // namespace mc
