// Writing the current model in the form the save dialog chose.
#pragma once

namespace mc {

class TModel;
class TStream;

enum class TModelForm { Odol, Mlod };

// Writes the whole model file. False when the writer refuses the model; a
// failed write raises EWriteError.
bool WriteModel(const TModel& model, TStream& stream, TModelForm form);

}  // namespace mc
