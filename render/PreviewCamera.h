// The 3D preview's camera: its settings, and Reset View's framing of a model.
// The preview window, the model catalog's picture and p3d render share them.
#pragma once

namespace mc {

class TCamera;
class TModel;

// Speed, far and near planes, field of view and the target at the origin.
void ApplyPreviewCameraSettings(TCamera& camera);

// Looks at the origin from where the model's framing sphere fills the field
// of view; without a model, from (0, 0, -10).
void FrameModel(TCamera& camera, const TModel* model);

}  // namespace mc
