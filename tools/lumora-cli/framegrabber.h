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

// Called with each picture taken; a non-empty answer (a file that cannot be written) ends the
// grab with ExitWriteFailed.
using PhotoTaker = std::function<QString(const VideoFrame &frame)>;

// Takes frames of an opened camera session from its live-frame feed: once the first frame
// arrived, calls `configure` on the camera's thread (the --roi/--rotate/--set settings; a
// non-empty answer is a refusal), then keeps the last of `frames` further frames read after
// that. With `count` above 1 it goes on: each next picture is the first frame read `intervalMs`
// after the previous one, until `count` were taken. `take` (when given) receives every picture
// as it is taken. Closes the session. A session refused before streaming ends the grab at once,
// with the refusal's own message.
GrabResult grabFrames(CameraSession &session, int frames, const std::function<QString(BaseCamera &)> &configure,
                      int count = 1, int intervalMs = 0, const PhotoTaker &take = PhotoTaker());
