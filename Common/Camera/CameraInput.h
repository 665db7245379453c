// One tick of the input that steers the camera: the states held down and the
// mouse movement since the last tick. Which keys stand behind the states is
// the window's choice.
#pragma once

namespace mc {

struct TCameraInput {
    bool Forward = false, Backward = false;
    bool StrafeLeft = false, StrafeRight = false;
    bool Rise = false, Sink = false;
    bool SpeedUp = false, SpeedDown = false;
    bool MouseButton1 = false;  // flies forward like Forward
    int MouseX = 0, MouseY = 0;
};

}  // namespace mc
