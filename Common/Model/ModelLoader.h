// Loading and saving whole models, with the messages a refused file gets.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "Core/LoadResult.h"

namespace mc {

class ITextureHeaderSource;
class TModel;
class TStream;

// Reads the signature and version and the body of the form they name; an
// editable model's textures are looked up in headers (none: no transparency
// flags). False with the reason in *reason when the file is refused. A short
// read raises EReadError, a later game's form EUnsupportedFormat.
bool LoadModelDispatch(TModel& model, TStream& s, const std::string& name, ITextureHeaderSource* headers = nullptr,
                       std::string* reason = nullptr);

// The model read from a stream, from memory or from a file, every error
// caught. A refusal is logged once as "Cannot load "name": reason" and its
// reason returned.
TLoadResult<TModel> ReadModel(TStream& s, const std::string& name, ITextureHeaderSource* headers = nullptr);
TLoadResult<TModel> ReadModelFromMemory(const void* data, size_t size, const std::string& name,
                                        ITextureHeaderSource* headers = nullptr);
TLoadResult<TModel> ReadModelFromFile(const std::string& path, ITextureHeaderSource* headers = nullptr);

// The same, keeping only the model (nullptr when refused).
bool LoadModelFromStream(TModel& model, TStream& s, const std::string& name, ITextureHeaderSource* headers = nullptr);
std::unique_ptr<TModel> LoadModelFromFile(const std::string& path, ITextureHeaderSource* headers = nullptr);
std::unique_ptr<TModel> LoadModelFromMemory(const void* data, size_t size, const std::string& name,
                                            ITextureHeaderSource* headers = nullptr);

// Writes the model as ODOL through a temporary file beside path. False with
// a reason in error when the file was not saved.
bool SaveModelOdolFile(const TModel& model, const std::string& path, std::string* error = nullptr);
// The same in the editable form MLOD, under the model's SaveFlags.
bool SaveModelMlodFile(const TModel& model, const std::string& path, std::string* error = nullptr);

}  // namespace mc
