#pragma once

#include "cliarguments.h"

#include <QImage>
#include <QString>

class CameraSession;
class QTextStream;

struct ViewResult
{
    ExitCode code = ExitOk;
    QString error;
    int shown = 0;     // frames the display drew
    QImage screenshot; // the window after args.frames frames, when asked for
};

// Shows the live picture of an opened camera session in a window through the program's display
// pane, fed by the acquisition thread and pacing it, with the corrections of `args` drawn by the
// graphics card. Runs until the window is closed, or until args.frames frames were shown (then
// takes the screenshot when args.screenshot is set), and closes the session. A session refused
// before streaming ends the view at once, with the refusal's own message. Needs a QApplication.
ViewResult runLiveView(CameraSession &session, const CliArguments &args, QTextStream &out);
