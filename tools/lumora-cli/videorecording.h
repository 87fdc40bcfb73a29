#pragma once

#include "cliarguments.h"

#include <QString>

class CameraSession;
class QTextStream;

struct RecordResult
{
    ExitCode code = ExitOk;
    QString error;
    int written = 0; // frames in the file
    int dropped = 0; // frames the encoder had no time for
    int missed = 0;  // frames missing from the camera's sequence, by its timestamps
    double seconds = 0;
};

// Records `seconds` of an opened camera session's live frames into `path` (H.264 in MP4, the
// codec settings of the first frame's size), writing a progress line to `progress` about once
// a second. A lost or silent camera and a full volume end the recording early; the file is
// finished either way. Closes the session.
RecordResult recordVideo(CameraSession &session, const QString &path, int seconds, QTextStream &progress);
