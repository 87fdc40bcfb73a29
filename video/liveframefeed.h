#pragma once

#include "videoframe.h"

#include <QObject>

// Every live frame the camera session decodes, for whoever wants the stream itself rather than
// what the display shows: the display drops frames while it draws, this feed does not.
// publish() runs on the acquisition thread; a subscriber connects to frameArrived and receives
// each frame on its own thread (queued when that is another one). Frames share their pixels,
// so a subscriber costs no copy. Frames already queued to a subscriber still arrive after it
// disconnects.
class LiveFrameFeed : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    void publish(const VideoFrame &frame);

signals:
    void frameArrived(VideoFrame frame);
};
