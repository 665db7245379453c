#include "Animation/Animation.h"
#include "Model/DerivedData.h"
#include "Model/LOD.h"
#include "Model/Model.h"
#include "Model/Pose.h"

namespace mc {

bool TAnimation::ApplyToModel(TModel* model) const
{
    if (!model) return false;
    BeginAnimation(*model);
    TMatrix4 matrix;
    for (const auto& lod : model->LODs) {
        TPoseStep step(*lod);
        for (int bone = 0; bone < BoneCount(); ++bone) {
            const TModelComponent* selection = lod->SelectionByName(BoneName(bone));
            if (selection && GetBoneMatrix(bone, matrix)) step.Transform(*selection, matrix);
        }
        step.Finish();
    }
    ComputeDerivedData(*model);
    return true;
}

}  // namespace mc
