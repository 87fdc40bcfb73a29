#pragma once

#include "camerainfo.h"
#include "cameraopeninfo.h"
#include "videoframe.h"

#include <QMutex>
#include <QString>
#include <functional>

class NetCommandChannel;
struct l_sdk_md_data;

// The video stream of a network camera: its settings as "set_stream" sends them, the formats
// and sizes the camera offers, and the SDK decoder that hands out its pictures.
class NetStream
{
public:
    explicit NetStream(NetCommandChannel &channel);

    int32_t decoderId() const { return m_decoderId; }

    // The stream fields of an open record, as the next "set_stream" sends them.
    void storeSettings(const CameraOpenInfo &openInfo);
    // Fills the stream fields of an open record from the current settings.
    void fillOpenInfo(CameraOpenInfo &info) const;
    // "set_stream" from the current settings.
    bool send(int channel, int streamIndex);
    bool openDecoder(int channel, int streamIndex);
    void closeDecoder();
    // The next decoded picture of the current size through `convert`; null when there is none.
    VideoFrame readPicture(const std::function<VideoFrame(l_sdk_md_data *)> &convert);
    // Reads the offered formats and resolutions into the cache, from the "stream" answer.
    void readCapabilities(int channel, int streamIndex, const QString &devicePath, CameraInfo &info);

    bool isH264() const { return m_format == QLatin1String("h264"); }
    const QString &format() const { return m_format; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    const QString &resolution() const { return m_resolution; }
    void setResolution(const QString &resolution) { m_resolution = resolution; }
    // The size pictures must have; pictures of another size were encoded before a change.
    void setSize(int width, int height);
    int frameRate() const { return m_frameRate; }
    int bitRate() const { return m_bitRate; }

private:
    NetCommandChannel &m_channel;
    const int32_t m_decoderId;

    int m_width = 1920;
    int m_height = 1080;
    QString m_resolution = QStringLiteral("1920*1080");
    QString m_format = QStringLiteral("mjpeg");
    QString m_rateControl = QStringLiteral("cbr");
    QString m_quality = QStringLiteral("high");
    int m_frameRate = 30;
    int m_bitRate = 86000;
    int m_iFrameInterval = 90;

    // Guards the decoder and the stream size read by the acquisition thread.
    QMutex m_decoderMutex;
    bool m_decoderOpen = false;
};
