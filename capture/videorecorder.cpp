#include "videorecorder.h"

#include "h264encoder.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <cerrno>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

VideoRecorder::VideoRecorder(QObject *parent)
    : QObject(parent), m_freeSpace([](const QString &directory) { return QStorageInfo(directory).bytesAvailable(); })
{}

VideoRecorder::~VideoRecorder()
{
    stop();
}

void VideoRecorder::setPath(const QString &path)
{
    m_path = path;
}

void VideoRecorder::setFreeSpaceQuery(FreeSpaceQuery query)
{
    m_freeSpace = std::move(query);
}

bool VideoRecorder::init(const CodecSettings &settings)
{
    stop();
    setError(QString());
    m_outOfSpace = false;
    m_framesWritten = 0;
    if (settings.type != CodecSettings::kTypeH264) {
        qWarning() << "Now only support h264 internal encoder";
        return false;
    }
    m_encoder = std::make_unique<H264Encoder>();
    if (!m_encoder->init(settings)) {
        qWarning() << "Internal encoder init failed, try to use compatibility mode";
        if (!m_encoder->useCompatibilityMode() || !m_encoder->init(settings)) {
            qWarning() << "Encoder can not use compatibility mode!";
            m_encoder.reset();
            return false;
        }
    }
    const AVCodecContext *codec = m_encoder->codecContext();
    m_width = codec->width;
    m_height = codec->height;
    if (m_path.isEmpty()) {
        qWarning() << "initRecorder failed, invalid save file path!";
        return false;
    }
    const QByteArray fileName = QFile::encodeName(m_path);
    if (avformat_alloc_output_context2(&m_output, nullptr, nullptr, fileName.constData()) < 0 || !m_output) {
        qWarning() << "Alloc output context failed!";
        return false;
    }
    m_stream = avformat_new_stream(m_output, nullptr);
    if (!m_stream) {
        qWarning() << "Output stream create failed!";
        closeOutput();
        return false;
    }
    m_stream->time_base = codec->time_base;
    if (avcodec_parameters_from_context(m_stream->codecpar, codec) < 0) {
        qWarning() << "Get codec params from encode context failed!";
        closeOutput();
        return false;
    }
    m_encoder->registerEncodeCompleteCallback(this);
    return true;
}

void VideoRecorder::start()
{
    if (m_started) {
        qInfo() << "Video recorder is already started";
        return;
    }
    if (m_fileOpen) {
        m_started = true;
        return;
    }
    if (!m_output)
        return;
    if (m_path.isEmpty()) {
        qWarning() << "Start failed, invalid save file path!";
        return;
    }
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    if (!hasFreeSpace(kReservedSpace)) {
        qWarning() << "Start failed, have no enough free disk space!";
        m_outOfSpace = true;
        setError(tr("Not enough free disk space to start recording."));
        emit lackOfFreeSpace();
        return;
    }
    if (avio_open(&m_output->pb, QFile::encodeName(m_path).constData(), AVIO_FLAG_WRITE) < 0) {
        qWarning() << "Open output video file failed";
        setError(tr("The video file cannot be opened for writing."));
        return;
    }
    // A fragment at every key frame, each pushed to the file as soon as it is complete: what
    // was written before a crash stays readable without the trailer.
    AVDictionary *options = nullptr;
    av_dict_set(&options, "movflags", "frag_keyframe+empty_moov+default_base_moof", 0);
    m_output->flags |= AVFMT_FLAG_FLUSH_PACKETS;
    const int written = avformat_write_header(m_output, &options);
    av_dict_free(&options);
    if (written < 0) {
        qWarning() << "Write output video file header failed!";
        setError(tr("The video file cannot be written."));
        avio_closep(&m_output->pb);
        return;
    }
    m_fileOpen = true;
    m_encoder->setTimeBase(m_stream->time_base.num, m_stream->time_base.den);
    m_encoder->start();
    m_started = true;
}

void VideoRecorder::stop()
{
    if (m_encoder) {
        // Packets of the queued pictures still reach the file.
        m_encoder->stop();
        m_encoder->release();
    }
    if (m_fileOpen) {
        const int finished = av_write_trailer(m_output);
        const int closed = avio_closep(&m_output->pb);
        m_fileOpen = false;
        if (finished < 0 || closed < 0)
            noteWriteFailure(finished < 0 ? finished : closed);
    }
    m_started = false;
    closeOutput();
}

void VideoRecorder::pause()
{
    m_started = false;
}

void VideoRecorder::onFrame(const VideoFrame &frame)
{
    if (m_started && !m_outOfSpace && frame.width() == m_width && frame.height() == m_height)
        m_encoder->encode(frame);
}

int VideoRecorder::framesDropped() const
{
    return m_encoder ? m_encoder->droppedFrames() : 0;
}

int VideoRecorder::queuedFrames() const
{
    return m_encoder ? m_encoder->queuedFrames() : 0;
}

QString VideoRecorder::errorString() const
{
    std::lock_guard<std::mutex> lock(m_errorMutex);
    return m_error;
}

bool VideoRecorder::OnEncodedPacket(AVPacket *packet, int width, int height)
{
    if (!m_started) {
        qWarning() << "Could not save encoded image, recorder have not started!";
        return false;
    }
    if (width != m_width || height != m_height || m_outOfSpace)
        return false;
    if (!hasFreeSpace(packet->size + kReservedSpace)) {
        // The reserve leaves room for the trailer, so the file is finished properly on stop().
        m_outOfSpace = true;
        setError(tr("Recording stopped: the disk is full."));
        emit lackOfFreeSpace();
        return false;
    }
    packet->stream_index = m_stream->index;
    const int written = av_interleaved_write_frame(m_output, packet);
    if (written < 0) {
        qWarning() << "Write frame to file failed!";
        // The volume can fill up (or a quota or size limit be hit) despite the free-space check.
        if (noteWriteFailure(written))
            emit lackOfFreeSpace();
        return false;
    }
    ++m_framesWritten;
    return true;
}

bool VideoRecorder::hasFreeSpace(qint64 needed) const
{
    const QString directory = m_path.isEmpty() ? QString() : QFileInfo(m_path).absolutePath();
    const qint64 free = directory.isEmpty() ? 0 : m_freeSpace(directory);
    if (!directory.isEmpty() && free >= needed)
        return true;
    qWarning().noquote().nospace() << "Lack of free disk space! "
                                   << "Driver: " << directory << " Free space: " << free
                                   << ", needed space: " << needed;
    return false;
}

bool VideoRecorder::noteWriteFailure(int error)
{
    const bool full = error == AVERROR(ENOSPC) || error == AVERROR(EFBIG) || error == AVERROR(EDQUOT);
    if (full)
        m_outOfSpace = true;
    setError(full ? tr("Recording stopped: the disk is full.") : tr("The video file cannot be written."));
    return full;
}

void VideoRecorder::setError(const QString &error)
{
    std::lock_guard<std::mutex> lock(m_errorMutex);
    m_error = error;
}

void VideoRecorder::closeOutput()
{
    avformat_free_context(m_output);
    m_output = nullptr;
    m_stream = nullptr;
}
