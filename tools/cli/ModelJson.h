// JSON views of a model for the command line.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "Core/TextEncoding.h"  // ToUtf8 for every text of the game's files

namespace mc {
class TModel;
}

namespace mc::cli {

// Format, LODs with their counts, derived data, special LODs and map icon.
nlohmann::ordered_json ModelInfoJson(const TModel& model);
// Everything the model holds, every array included.
nlohmann::ordered_json ModelDumpJson(const TModel& model);

}  // namespace mc::cli
