#include "liveframefeed.h"

void LiveFrameFeed::publish(const VideoFrame &frame)
{
    emit frameArrived(frame);
}
