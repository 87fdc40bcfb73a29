// The acquisition loop's own cost per frame: a camera that hands out a prepared 1920x1080
// frame at once, a display that acknowledges every frame at once and no pacing sleep, so
// what is left is the loop (flags, time stamp, mutex, hand-over, rate report). Anchored
// on one queued cross-thread call and its answer, the cheapest way a frame could reach a
// display on another thread; both are measured alternately in the same run.
#include "basecamera.h"
#include "cameraplaythread.h"
#include "i420buffer.h"

#include "benchutil.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using BenchUtil::median;

constexpr int kRuns = 9;
constexpr int kFramesPerRun = 100000;
constexpr int kRoundTripsPerRun = 20000;

// Answers every read with the same frame and stops the thread after a fixed number of reads.
class InstantCamera : public BaseCamera
{
public:
    InstantCamera() : m_frame(I420Buffer::Create(1920, 1080), 0) {}
    void arm(CameraPlayThread *thread, int frames)
    {
        m_thread = thread;
        m_left = frames;
    }
    bool open(const CameraOpenInfo &) override { return true; }
    bool start(const CameraOpenInfo &, CameraCloseReason &) override { return true; }
    bool close() override { return true; }
    bool changeResolution(const CameraOpenInfo &, CameraCloseReason &) override { return true; }
    VideoFrame readFrame() override
    {
        if (--m_left == 0)
            m_thread->setRunning(false);
        return m_frame;
    }
    bool initCameraInfo(CameraInfo &) override { return true; }
    void initDefaultInfo() override {}

private:
    VideoFrame m_frame;
    CameraPlayThread *m_thread = nullptr;
    int m_left = 0;
};

// The loop without its 10 ms pacing.
class UnpacedPlayThread : public CameraPlayThread
{
protected:
    int pollIntervalMs() const override { return 0; }
};

double loopMicrosecondsPerFrame(const std::shared_ptr<InstantCamera> &camera)
{
    UnpacedPlayThread thread;
    thread.setCaptureCamera(camera);
    QObject::connect(&thread, &CameraPlayThread::putVideoFrame, &thread, &CameraPlayThread::onFrameRendered,
                     Qt::DirectConnection);
    camera->arm(&thread, kFramesPerRun);
    thread.setRunning(true);
    const auto start = std::chrono::steady_clock::now();
    thread.start();
    thread.wait();
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    return us / kFramesPerRun;
}

double roundTripMicroseconds(QObject *remote)
{
    QSemaphore answered;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRoundTripsPerRun; ++i) {
        QMetaObject::invokeMethod(
            remote, [&answered] { answered.release(); }, Qt::QueuedConnection);
        answered.acquire();
    }
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    return us / kRoundTripsPerRun;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    auto camera = std::make_shared<InstantCamera>();
    QThread remoteThread;
    QObject remote;
    remote.moveToThread(&remoteThread);
    remoteThread.start();

    std::vector<double> loop, anchor;
    loopMicrosecondsPerFrame(camera); // warm-up
    roundTripMicroseconds(&remote);
    for (int run = 0; run < kRuns; ++run) {
        loop.push_back(loopMicrosecondsPerFrame(camera));
        anchor.push_back(roundTripMicroseconds(&remote));
    }
    remoteThread.quit();
    remoteThread.wait();

    const double value = median(loop);
    const double anchorValue = median(anchor);
    BenchUtil::printFigure("acquisition_loop_per_frame", value, "us", "queued_round_trip", anchorValue);
    return 0;
}
