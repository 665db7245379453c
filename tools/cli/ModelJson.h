// JSON views of a model for the command line.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace mc {
class TModel;
}

namespace mc::cli {

// Texts from the game's files may be in an 8-bit code page: valid UTF-8 is
// kept, other bytes are taken as Windows-1252 characters.
std::string ToUtf8(const std::string& bytes);

// Format, LODs with their counts, derived data, special LODs and map icon.
nlohmann::ordered_json ModelInfoJson(const TModel& model);
// Everything the model holds, every array included.
nlohmann::ordered_json ModelDumpJson(const TModel& model);

}  // namespace mc::cli
