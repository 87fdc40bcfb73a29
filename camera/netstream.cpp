#include "netstream.h"

#include "netcommandchannel.h"

#include <QDebug>
#include <QMutexLocker>
#include <algorithm>
#include <atomic>
#include <l_sdk.h>
#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

// Process-wide decoder ids: one per network camera object, from 1.
std::atomic<int32_t> g_nextDecoderId{1};

// H.264 streams above this bit rate overrun the cameras' encoder.
constexpr int kH264MaxBitRate = 30000;

// Format names of the "stream" answer and their program format codes.
const std::pair<const char *, int> kStreamFormats[] = {{"h264", 3}, {"mjpeg", 0}, {"nv12", 1}, {"yuy2", 2}};

} // namespace

NetStream::NetStream(NetCommandChannel &channel) : m_channel(channel), m_decoderId(g_nextDecoderId.fetch_add(1)) {}

void NetStream::storeSettings(const CameraOpenInfo &openInfo)
{
    const bool h264 = openInfo.streamFormat == 3;
    m_format = h264 ? QStringLiteral("h264") : QStringLiteral("mjpeg");
    m_rateControl = openInfo.rateControl;
    m_quality = openInfo.quality;
    m_frameRate = openInfo.frameRate;
    m_bitRate = h264 ? qMin(openInfo.bitRate, kH264MaxBitRate) : openInfo.bitRate;
    m_iFrameInterval = openInfo.iFrameInterval;
    setSize(openInfo.width, openInfo.height);
    m_resolution = QStringLiteral("%1*%2").arg(openInfo.width).arg(openInfo.height);
}

void NetStream::fillOpenInfo(CameraOpenInfo &info) const
{
    info.width = m_width;
    info.height = m_height;
    info.resolution = CameraResolution::text(m_width, m_height);
    info.streamFormat = isH264() ? 3 : 0;
    info.rateControl = m_rateControl;
    info.quality = m_quality;
    info.frameRate = m_frameRate;
    info.bitRate = m_bitRate;
    info.iFrameInterval = m_iFrameInterval;
}

void NetStream::setSize(int width, int height)
{
    QMutexLocker locker(&m_decoderMutex);
    m_width = width;
    m_height = height;
}

bool NetStream::send(int channel, int streamIndex)
{
    const json request{{"cmd", "set_stream"},
                       {"chnn", channel},
                       {"idx", streamIndex},
                       {"fmt", m_format.toStdString()},
                       {"rc_mode", m_rateControl.toStdString()},
                       {"wh", m_resolution.toStdString()},
                       {"quality", m_quality.toStdString()},
                       {"frame_rate", m_frameRate},
                       {"bitrate", m_bitRate},
                       {"i_interval", m_iFrameInterval}};
    json answer;
    return m_channel.exchange(request, -1, true, answer);
}

bool NetStream::openDecoder(int channel, int streamIndex)
{
    const json description{{"md_fmt", isH264() ? "H264" : "MJPEG"}, {"pix_fmt", "YUV420P_SEPARATE"}};
    NetRequester &requester = m_channel.requester();
    QMutexLocker locker(&m_decoderMutex);
    if (requester.decoderOpen(m_decoderId, NetCommandChannel::dump(description)) != L_SDK_OK) {
        qWarning() << "Create decoder failed!";
        return false;
    }
    const int32_t bound = requester.decoderBind(m_decoderId, m_channel.loginId(), channel, streamIndex);
    if (bound != L_SDK_OK) {
        requester.decoderClose(m_decoderId);
        qWarning() << "Bind decoder failed!" << bound;
        return false;
    }
    m_decoderOpen = true;
    return true;
}

void NetStream::closeDecoder()
{
    QMutexLocker locker(&m_decoderMutex);
    if (!m_decoderOpen)
        return;
    m_channel.requester().decoderUnbind(m_decoderId);
    m_channel.requester().decoderClose(m_decoderId);
    m_decoderOpen = false;
}

VideoFrame NetStream::readPicture(const std::function<VideoFrame(l_sdk_md_data *)> &convert)
{
    VideoFrame out;
    QMutexLocker locker(&m_decoderMutex);
    if (!m_decoderOpen)
        return out;
    NetRequester &requester = m_channel.requester();
    l_sdk_md_data *data = nullptr;
    const int32_t status = requester.decoderPicture(m_decoderId, &data);
    // Pictures of another size were encoded before a resolution change: dropped.
    if (status == L_SDK_OK && data && data->width == m_width && data->height == m_height)
        out = convert(data);
    if (data)
        requester.freePicture(data);
    return out;
}

void NetStream::readCapabilities(int channel, int streamIndex, const QString &devicePath, CameraInfo &info)
{
    json answer;
    if (!m_channel.exchange(json{{"cmd", "stream"}, {"chnn", channel}, {"idx", streamIndex}}, -1, false, answer))
        return;
    qInfo().noquote().nospace() << "getCameraVideoCapabilities, stream json=" +
                                       QString::fromStdString(NetCommandChannel::dump(answer));
    info.formats.clear();
    info.resolutions.clear();
    try {
        const json &range = answer.at("stream").at("range");
        for (const auto &[name, format] : kStreamFormats) {
            const auto entry = range.find(name);
            if (entry == range.end())
                continue;
            for (const json &wh : entry->at("wh")) {
                const QStringList parts = QString::fromStdString(wh.get<std::string>()).split(QLatin1Char('*'));
                bool okW = false, okH = false;
                const int width = parts.size() == 2 ? parts[0].trimmed().toInt(&okW) : 0;
                const int height = parts.size() == 2 ? parts[1].trimmed().toInt(&okH) : 0;
                if (!okW || !okH || width <= 0 || height <= 0)
                    continue;
                CameraResolution resolution;
                resolution.devicePath = devicePath;
                resolution.width = width;
                resolution.height = height;
                resolution.resolution = CameraResolution::text(width, height);
                resolution.format = format;
                insertResolution(info.resolutions[format], resolution);
            }
            if (!info.formats.contains(format) && !info.resolutions.value(format).isEmpty())
                info.formats.append(format);
        }
        std::sort(info.formats.begin(), info.formats.end());
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getCameraVideoCapabilities failed, " << e.what();
    }
}
