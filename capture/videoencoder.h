#pragma once

#include "codecsettings.h"
#include "videoframe.h"

struct AVCodecContext;
struct AVPacket;

// Receives what an encoder produces, in the encoder's worker thread.
class EncodedImageCallback
{
public:
    virtual ~EncodedImageCallback() = default;
    // One encoded packet of a width x height picture, timestamps in the time base given to
    // VideoEncoder::setTimeBase. False when it was not taken.
    virtual bool OnEncodedPacket(AVPacket *packet, int width, int height) = 0;
};

// A video encoder with its own worker thread: encode() queues pictures from any thread, the
// worker encodes them and hands the packets to the registered callback.
class VideoEncoder
{
public:
    virtual ~VideoEncoder() = default;
    // Switches to the software encoder; false when it is unavailable.
    virtual bool useCompatibilityMode() = 0;
    virtual bool init(const CodecSettings &settings) = 0;
    // Starts the worker thread.
    virtual void start() = 0;
    // Encodes what is still queued, flushes the codec and joins the worker.
    virtual void stop() = 0;
    // The opened codec (null before a successful init()).
    virtual const AVCodecContext *codecContext() const = 0;
    // The time base of the packets handed to the callback.
    virtual void setTimeBase(int num, int den) = 0;
    // Queues a picture; the oldest waiting pictures are dropped when the worker falls behind.
    virtual void encode(const VideoFrame &frame) = 0;
    // Frees the codec and everything init() allocated and empties the queue.
    virtual void release() = 0;
    virtual void registerEncodeCompleteCallback(EncodedImageCallback *callback) = 0;
};
