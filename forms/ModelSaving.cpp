#include "ModelSaving.h"

#include "Model/Mlod.h"
#include "Model/Model.h"
#include "Model/Odol.h"

namespace mc {

bool WriteModel(const TModel& model, TStream& stream, TModelForm form)
{
    return form == TModelForm::Odol ? SaveOdol(model, stream) : SaveMlod(model, stream);
}

}  // namespace mc
