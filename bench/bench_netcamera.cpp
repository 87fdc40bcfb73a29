// Network camera streams end to end: the rate at which a NetCamera hands out decoded 1080p30
// pictures, MJPEG and H.264, against the simulator's own send rate measured in the same
// window by a second viewer of the same stream; and the delay from the simulator's send to
// the picture handed out, against the frame interval.
#include "benchutil.h"
#include "camerasearcher.h"
#include "constants.h"
#include "netcamera.h"
#include "simprocess.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <l_sdk.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <mutex>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

const char *kAddress = "127.0.0.5";
constexpr int kWarmUpMs = 3000;
constexpr int kWindowMs = 6000;

std::int64_t nowUs()
{
    return QDateTime::currentMSecsSinceEpoch() * 1000;
}

bool readAll(int fd, void *data, size_t size)
{
    auto *p = static_cast<char *>(data);
    while (size > 0) {
        const ssize_t n = ::recv(fd, p, size, 0);
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool sendMessage(int fd, const QByteArray &json)
{
    const uint32_t length = htonl(uint32_t(json.size()));
    return ::send(fd, &length, 4, MSG_NOSIGNAL) == 4 &&
           ::send(fd, json.constData(), size_t(json.size()), MSG_NOSIGNAL) == json.size();
}

bool readMessage(int fd, std::vector<char> &message)
{
    uint32_t length = 0;
    if (!readAll(fd, &length, 4))
        return false;
    length = ntohl(length);
    if (length > (16u << 20))
        return false;
    message.resize(length);
    return readAll(fd, message.data(), length);
}

// A second viewer of the camera's stream, speaking the wire protocol itself: it records the
// send time of every picture the camera sends, whatever the first viewer keeps up with.
class SendCounter
{
public:
    bool start(quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        ::inet_pton(AF_INET, kAddress, &address.sin_addr);
        if (m_fd < 0 || ::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
            return false;
        std::vector<char> answer;
        const QByteArray login =
            QJsonDocument(QJsonObject{{"cmd", "login"},
                                      {"ip", kAddress},
                                      {"port", 80},
                                      {"login", QJsonObject{{"username", Constants::kNetCameraUser},
                                                            {"passwd", Constants::kLoginPassword}}}})
                .toJson(QJsonDocument::Compact);
        const QByteArray attach = R"({"cmd":"attach_stream","chnn":0,"idx":0})";
        if (!sendMessage(m_fd, login) || !readMessage(m_fd, answer) || !sendMessage(m_fd, attach) ||
            !readMessage(m_fd, answer))
            return false;
        m_thread = std::thread([this] {
            std::vector<char> message;
            while (readMessage(m_fd, message)) {
                if (message.size() >= 32 && std::equal(message.begin(), message.begin() + 4, "LVID")) {
                    std::int64_t sent = 0;
                    for (int i = 0; i < 8; ++i)
                        sent = (sent << 8) | static_cast<unsigned char>(message[size_t(20 + i)]);
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_sendTimes.push_back(sent);
                }
            }
        });
        return true;
    }

    ~SendCounter()
    {
        if (m_fd >= 0)
            ::shutdown(m_fd, SHUT_RDWR);
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int sentBetween(std::int64_t fromUs, std::int64_t toUs)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return int(std::count_if(m_sendTimes.begin(), m_sendTimes.end(),
                                 [&](std::int64_t t) { return t >= fromUs && t < toUs; }));
    }

private:
    int m_fd = -1;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<std::int64_t> m_sendTimes;
};

bool listed()
{
    char *answer = nullptr;
    bool found = false;
    if (l_sdk_discover_get_devs(&answer) == L_SDK_OK && answer) {
        for (const QJsonValue &value : QJsonDocument::fromJson(answer).array())
            found = found || value.toObject()["ip"].toString() == QLatin1String(kAddress);
    }
    l_sdk_free(answer);
    return found;
}

bool measure(const SimProcess &sim, bool h264)
{
    const std::string label = h264 ? "h264_1080p30" : "mjpeg_1080p30";
    NetCamera camera;
    CameraOpenInfo info;
    info.isNetCamera = true;
    info.address = QString::fromLatin1(kAddress);
    info.userName = QString::fromLatin1(Constants::kNetCameraUser);
    info.password = QString::fromLatin1(Constants::kLoginPassword);
    info.port = QString::fromLatin1(Constants::kNetCameraPort);
    info.streamFormat = h264 ? 3 : 0;
    CameraCloseReason error = UserClosed;
    if (!camera.open(info) || !camera.start(info, error)) {
        std::fprintf(stderr, "bench_netcamera: camera did not start (%s)\n", label.c_str());
        return false;
    }
    SendCounter counter;
    if (!counter.start(sim.commandPort())) {
        std::fprintf(stderr, "bench_netcamera: second viewer failed\n");
        return false;
    }

    QElapsedTimer clock;
    clock.start();
    std::int64_t windowStart = 0;
    int received = 0;
    std::vector<double> delaysMs;
    while (clock.elapsed() < kWarmUpMs + kWindowMs) {
        const VideoFrame frame = camera.readFrame();
        if (!frame.isNull() && clock.elapsed() >= kWarmUpMs) {
            if (windowStart == 0)
                windowStart = frame.timestampUs();
            ++received;
            delaysMs.push_back(double(nowUs() - frame.timestampUs()) / 1000.0);
        }
        QThread::usleep(500);
    }
    const std::int64_t windowEnd = nowUs();
    camera.close();
    camera.logout();
    if (received < 2) {
        std::fprintf(stderr, "bench_netcamera: no pictures (%s)\n", label.c_str());
        return false;
    }
    const double seconds = double(windowEnd - windowStart) / 1e6;
    const double receivedFps = received / seconds;
    const double sentFps = counter.sentBetween(windowStart, windowEnd) / seconds;
    BenchUtil::printFigure("netcam_rate_" + label, receivedFps, "fps", "sim_send_rate_" + label, sentFps);
    BenchUtil::printFigure("netcam_delay_" + label, BenchUtil::median(delaysMs), "ms", "frame_interval_" + label,
                           1000.0 / sentFps);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SimProcess sim(QStringLiteral(NETCAM_SIM_PROGRAM));
    if (!sim.start(kAddress, QStringLiteral("CM14_IPC"))) {
        std::fprintf(stderr, "bench_netcamera: %s\n", qPrintable(sim.error()));
        return 1;
    }
    qputenv("LSDK_DISCOVERY_TARGETS", sim.discoveryTarget().toLatin1());
    CameraSearcher::startNetworkDiscovery();
    QElapsedTimer clock;
    clock.start();
    while (!listed() && clock.elapsed() < 10000)
        QThread::msleep(50);
    const bool ok = measure(sim, false) && measure(sim, true);
    CameraSearcher::stopNetworkDiscovery();
    return ok ? 0 : 1;
}
