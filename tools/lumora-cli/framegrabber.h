#pragma once

#include "cliarguments.h"
#include "videoframe.h"

#include <QString>

#include <functional>

class BaseCamera;
class CameraSession;

struct GrabResult
{
    ExitCode code = ExitOk;
    QString error;
    VideoFrame lastFrame;
    int received = 0;
};

// Takes frames of an opened camera session from its live-frame feed: once the first frame
// arrived, calls `configure` on the camera's thread (the --roi/--rotate/--set settings; a
// non-empty answer is a refusal), then keeps the last of `frames` further frames read after
// that. Closes the session. A session refused before streaming ends the grab at once, with
// the refusal's own message.
GrabResult grabFrames(CameraSession &session, int frames, const std::function<QString(BaseCamera &)> &configure);
