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

bool Refuse(const std::string& name, const char* reason)
{
    AddLog(Format("Cannot load \"%s\": %s", name.c_str(), reason));
    return false;
}

}  // namespace

bool LoadModelDispatch(TModel& model, TStream& s, const std::string& name)
{
    model.FileName = name;
    if (s.Remaining() < 4) return Refuse(name, "invalid file size");
    model.Signature = ReadCardinal(s);

    if (model.Signature == kSignatureODOL) {
        if (ReadCardinal(s) != kOdolVersion) return Refuse(name, "version mismatch");
        if (!ReadOdolBody(model, s)) return Refuse(name, "file possible corrupted");
    } else if (model.Signature == kSignatureMLOD) {
        AddLog("Warning: MLOD (demo) model format!");
        if (ReadCardinal(s) != kMlodVersion) return Refuse(name, "version mismatch");
        if (!ReadMlodBody(model, s)) return Refuse(name, "file possible corrupted");
    } else {
        return Refuse(name, "unknown model format");
    }

    if (!model.LODs.empty() && model.LODs[0]->PropertyValue("class") == "road") model.MapIcon = kMapIconRoad;
    return true;
}

bool LoadModelFromStream(TModel& model, TStream& s, const std::string& name)
{
    try {
        return LoadModelDispatch(model, s, name);
    } catch (const std::bad_alloc&) {
        AddLog(Format("Cannot load model \"%s\": %s", name.c_str(), "out of memory"));
    } catch (const std::exception& e) {
        AddLog(Format("Cannot load model \"%s\": %s", name.c_str(), e.what()));
    }
    return false;
}

std::unique_ptr<TModel> LoadModelFromMemory(const void* data, size_t size, const std::string& name)
{
    TMemoryReader reader(data, size);
    auto model = std::make_unique<TModel>();
    if (!LoadModelFromStream(*model, reader, name)) return nullptr;
    return model;
}

std::unique_ptr<TModel> LoadModelFromFile(const std::string& path)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return nullptr;
    return LoadModelFromMemory(bytes.data(), bytes.size(), path);
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
