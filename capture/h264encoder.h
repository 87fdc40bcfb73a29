#pragma once

#include "videoencoder.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct AVFrame;

// H.264 through FFmpeg: the NVIDIA encoder, else Quick Sync, else the software encoder, the
// first that opens on this machine.
class H264Encoder final : public VideoEncoder
{
public:
    enum Kind : int { None = -1, Nvenc = 0, Qsv = 1, Software = 2 };

    // Waiting pictures beyond this many push out the oldest.
    static constexpr int kMaxQueuedFrames = 6;

    H264Encoder();
    ~H264Encoder() override;
    H264Encoder(const H264Encoder &) = delete;
    H264Encoder &operator=(const H264Encoder &) = delete;

    bool useCompatibilityMode() override;
    bool init(const CodecSettings &settings) override;
    void start() override;
    void stop() override;
    const AVCodecContext *codecContext() const override { return m_context; }
    void setTimeBase(int num, int den) override;
    void encode(const VideoFrame &frame) override;
    void release() override;
    void registerEncodeCompleteCallback(EncodedImageCallback *callback) override { m_callback = callback; }

    Kind kind() const { return m_kind; }
    // Pictures dropped because the worker fell behind, since construction.
    int droppedFrames() const;
    int queuedFrames() const;

private:
    void run();
    void encodeFrame(const VideoFrame &frame);
    bool fillInput(const VideoFrame &frame);
    // Sends `frame` (null: flush) and hands every packet that comes out to the callback.
    void send(AVFrame *frame);

    Kind m_kind = None;
    CodecSettings m_settings;
    int m_targetFormat = -1;
    AVCodecContext *m_context = nullptr;
    AVFrame *m_frame = nullptr;
    AVPacket *m_packet = nullptr;
    int m_timeBaseNum = 1;
    int m_timeBaseDen = 1000;
    EncodedImageCallback *m_callback = nullptr;

    // Worker-only timing, in milliseconds of the codec's time base.
    std::int64_t m_originMs = -1;
    std::int64_t m_lastPts = -1;
    std::int64_t m_lastKeyPts = -1;
    std::int64_t m_lastInterval = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<VideoFrame> m_queue;
    int m_dropped = 0;
    std::atomic<bool> m_running{false};
    std::thread m_worker;
};
