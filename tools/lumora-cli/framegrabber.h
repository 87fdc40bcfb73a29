#pragma once

#include "cameraopeninfo.h"
#include "cliarguments.h"
#include "videoframe.h"

#include <QString>

#include <functional>
#include <memory>

class BaseCamera;
class QTextStream;

// What `grab` asks of an opened camera.
struct GrabRequest
{
    CameraOpenInfo openInfo; // stream to start
    int frames = 1;
};

struct GrabResult
{
    ExitCode code = ExitOk;
    QString error;
    VideoFrame lastFrame;
    int received = 0;
};

// Streams an opened camera through the acquisition thread, as the program's live view does:
// once the first frame arrived, calls `configure` (the --roi/--rotate/--set settings; a
// non-empty answer is a refusal), then takes request.frames further frames, acknowledging
// each as a display would. The thread's rate, resolution and format reports are written to
// `out` as they come. The thread closes the camera when it stops.
GrabResult grabFrames(const std::shared_ptr<BaseCamera> &camera, const GrabRequest &request, QTextStream &out,
                      const std::function<QString(BaseCamera &)> &configure);
