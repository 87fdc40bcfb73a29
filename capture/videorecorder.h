#pragma once

#include "videoencoder.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class H264Encoder;
struct AVFormatContext;
struct AVStream;

// Records pictures into an H.264 MP4 file. The file is written in fragments, one per key
// frame, so that a crash or a power cut leaves a playable file up to the last fragment.
// onFrame() may be called from any thread; packets are written in the encoder's worker thread.
class VideoRecorder : public QObject, public EncodedImageCallback
{
    Q_OBJECT

public:
    // Free bytes on the volume that holds `directory` (the default asks the file system).
    using FreeSpaceQuery = std::function<qint64(const QString &directory)>;
    // Room kept free on the volume besides what is about to be written.
    static constexpr qint64 kReservedSpace = 1048576;

    explicit VideoRecorder(QObject *parent = nullptr);
    ~VideoRecorder() override;

    void setPath(const QString &path);
    void setFreeSpaceQuery(FreeSpaceQuery query);
    // Prepares the encoder and the container for `settings`; false (and logged) on failure.
    bool init(const CodecSettings &settings);
    // Queues a picture while recording; pictures of another size than the recording's are ignored.
    void onFrame(const VideoFrame &frame);

    bool isStarted() const { return m_started; }
    // Packets written to the file and pictures dropped because the encoder fell behind.
    int framesWritten() const { return m_framesWritten; }
    int framesDropped() const;
    int queuedFrames() const;
    // Why the last start or the recording failed; empty when nothing failed.
    QString errorString() const;
    // Whether the volume ran out of space since init(), before or while the file was written.
    bool ranOutOfSpace() const { return m_outOfSpace; }

    bool OnEncodedPacket(AVPacket *packet, int width, int height) override;

public slots:
    // Opens the file and starts encoding; after pause() it resumes the same file.
    void start();
    // Encodes what is queued, finishes the file and closes it.
    void stop();
    // Refuses pictures and packets until start() or stop(); the file stays open.
    void pause();

signals:
    // The volume is (nearly) full, at start or while writing; later packets are refused.
    void lackOfFreeSpace();

private:
    bool hasFreeSpace(qint64 needed) const;
    void setError(const QString &error);
    // Records why writing failed (an FFmpeg error code); true when the volume is full.
    bool noteWriteFailure(int error);
    void closeOutput();

    QString m_path;
    int m_width = 0;
    int m_height = 0;
    std::unique_ptr<H264Encoder> m_encoder;
    AVFormatContext *m_output = nullptr;
    AVStream *m_stream = nullptr;
    bool m_fileOpen = false;
    std::atomic<bool> m_started{false};
    std::atomic<bool> m_outOfSpace{false};
    std::atomic<int> m_framesWritten{0};
    FreeSpaceQuery m_freeSpace;
    mutable std::mutex m_errorMutex;
    QString m_error;
};
