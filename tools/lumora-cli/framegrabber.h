#pragma once

#include "cameraopeninfo.h"
#include "cliarguments.h"
#include "videoframe.h"

#include <QString>

#include <functional>

class BaseCamera;
class QTextStream;

// What `grab` asks of an opened camera.
struct GrabRequest
{
    CameraOpenInfo openInfo; // stream to start
    int frames = 1;
    QString formatName; // reported on the format line
};

struct GrabResult
{
    ExitCode code = ExitOk;
    QString error;
    VideoFrame lastFrame;
    int received = 0;
};

// Starts the stream of an opened camera, calls `configure` (the --roi/--rotate/--set
// settings; a non-empty answer is a refusal) and reads frames at the device's pace until
// request.frames arrived, writing the rate, resolution and format report lines to `out` as
// the acquisition thread reports them. More than 500 empty reads in a row mean the camera was
// lost.
GrabResult grabFrames(BaseCamera &camera, const GrabRequest &request, QTextStream &out,
                      const std::function<QString(BaseCamera &)> &configure);
