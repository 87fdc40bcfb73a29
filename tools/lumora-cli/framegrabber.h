#pragma once

#include "cameraclosereason.h"
#include "cameraopeninfo.h"
#include "cliarguments.h"
#include "videoframe.h"

#include <QString>

#include <functional>
#include <memory>

class BaseCamera;
class CameraPlayThread;
class QObject;
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

// Prepares the acquisition thread for the opened camera and writes its rate, resolution and
// format reports to `out` while `context` lives.
void setUpAcquisition(CameraPlayThread &thread, const std::shared_ptr<BaseCamera> &camera,
                      const CameraOpenInfo &openInfo, QObject *context, QTextStream &out);
// Why the thread closed the camera, in words.
QString closeReasonText(CameraCloseReason reason);

// Streams an opened camera through the acquisition thread, as the program's live view does:
// once the first frame arrived, calls `configure` (the --roi/--rotate/--set settings; a
// non-empty answer is a refusal), then takes request.frames further frames, acknowledging
// each as a display would. The thread's rate, resolution and format reports are written to
// `out` as they come. The thread closes the camera when it stops.
GrabResult grabFrames(const std::shared_ptr<BaseCamera> &camera, const GrabRequest &request, QTextStream &out,
                      const std::function<QString(BaseCamera &)> &configure);
