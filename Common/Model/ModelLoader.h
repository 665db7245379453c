// Loading and saving whole models, with the messages a refused file gets.
#pragma once

#include <memory>
#include <string>

namespace mc {

class TModel;
class TStream;

// Reads the signature and version and the body of the form they name.
// Writes the reason of a refusal to the log. A short read raises EReadError.
bool LoadModelDispatch(TModel& model, TStream& s, const std::string& name);

// The dispatch with every error caught and logged as
// "Cannot load model "name": reason".
bool LoadModelFromStream(TModel& model, TStream& s, const std::string& name);

// nullptr when the file cannot be opened (no message) or is refused (logged).
std::unique_ptr<TModel> LoadModelFromFile(const std::string& path);
std::unique_ptr<TModel> LoadModelFromMemory(const void* data, size_t size, const std::string& name);

// Writes the model as ODOL through a temporary file beside path. False with
// a reason in error when the file was not saved.
bool SaveModelOdolFile(const TModel& model, const std::string& path, std::string* error = nullptr);
// The same in the editable form MLOD, under the model's SaveFlags.
bool SaveModelMlodFile(const TModel& model, const std::string& path, std::string* error = nullptr);

}  // namespace mc
