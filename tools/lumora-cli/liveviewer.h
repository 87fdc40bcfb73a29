#pragma once

#include "cameraopeninfo.h"
#include "cliarguments.h"

#include <QImage>
#include <QString>
#include <memory>

class BaseCamera;
class QTextStream;

struct ViewResult
{
    ExitCode code = ExitOk;
    QString error;
    int shown = 0;     // frames the display drew
    QImage screenshot; // the window after args.frames frames, when asked for
};

// Shows the opened camera's live picture in a window through the program's display pane, fed
// by the acquisition thread and pacing it, with the corrections of `args` drawn by the graphics
// card. Runs until the window is closed, or until args.frames frames were shown (then takes
// the screenshot when args.screenshot is set). Needs a QApplication.
ViewResult runLiveView(const std::shared_ptr<BaseCamera> &camera, const CameraOpenInfo &openInfo,
                       const CliArguments &args, QTextStream &out);
