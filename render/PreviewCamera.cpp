#include "PreviewCamera.h"

#include "Camera/Camera.h"
#include "Model/Model.h"

namespace mc {

void ApplyPreviewCameraSettings(TCamera& camera)
{
    camera.SetSpeed(0.2f);
    camera.SetFarPlane(1200.0f);
    camera.SetNearPlane(0.1f);
    camera.SetFieldOfView(0.5235988f);  // 30 degrees
    camera.LockTarget({0, 0, 0});
}

void FrameModel(TCamera& camera, const TModel* model)
{
    camera.LookAt({0, 0, 0});
    if (!model) {
        camera.SetPosition({0, 0, -10});
        return;
    }
    Vector3 centre;
    float radius = 0;
    model->ViewFraming(centre, radius);
    camera.FitSphere(centre, camera.FieldOfView(), radius);
}

}  // namespace mc
