// The network camera library against fake cameras on loopback: discovery, sessions,
// time-outs and reconnection, the upgrade path, and the video decoders (MJPEG and H.264).
#include "l_sdk.h"

#include <QtTest>

#include <nlohmann/json.hpp>
#include <turbojpeg.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/opt.h>
}

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using Call = std::function<int32_t()>;
Q_DECLARE_METATYPE(Call)

namespace {

constexpr char kUser[] = "opusr";
constexpr char kPassword[] = "580264";
constexpr int kWait = 5000; // ms; a guard against hanging, never a speed requirement

std::mutex g_logMutex;
std::vector<std::string> g_logLines;

void keepLogLine(const char *text)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    g_logLines.emplace_back(text);
    std::fprintf(stderr, "l_sdk: %s\n", text);
}

bool logged(const std::string &line)
{
    std::lock_guard<std::mutex> lock(g_logMutex);
    return std::find(g_logLines.begin(), g_logLines.end(), line) != g_logLines.end();
}

std::string be32(uint32_t v)
{
    return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

std::string be64(uint64_t v)
{
    return be32(uint32_t(v >> 32)) + be32(uint32_t(v));
}

// One video message body: the 32-byte header and the coded picture.
std::string videoMessage(int codec, uint32_t width, uint32_t height, uint64_t timestamp, const std::string &payload,
                         const char *magic = "LVID")
{
    std::string m(magic, 4);
    m += char(codec);
    m += char(1);
    m += std::string(2, '\0') + be32(width) + be32(height) + be32(7) + be64(timestamp) + be32(0);
    return m + payload;
}

bool waitReadable(int fd, const std::atomic<bool> &stop)
{
    while (!stop) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) > 0)
            return true;
    }
    return false;
}

bool readExactly(int fd, char *out, size_t size, const std::atomic<bool> &stop)
{
    for (size_t done = 0; done < size;) {
        if (!waitReadable(fd, stop))
            return false;
        const ssize_t n = ::recv(fd, out + done, size - done, 0);
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

void sendFramed(int fd, const std::string &body)
{
    const std::string wire = be32(uint32_t(body.size())) + body;
    ::send(fd, wire.data(), wire.size(), MSG_NOSIGNAL);
}

int boundSocket(int type, const char *ip, uint16_t *port)
{
    const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::inet_pton(AF_INET, ip, &a.sin_addr);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(a.sin_port);
    return fd;
}

// A camera's command side on its own loopback address: logs in "opusr"/"580264", answers a
// few commands, leaves "hang" unanswered, closes on "drop", and streams what the test sends
// on a connection that asked "attach_stream".
class FakeCamera
{
public:
    explicit FakeCamera(const char *ip) : m_ip(ip)
    {
        m_listen = boundSocket(SOCK_STREAM, ip, &m_port);
        m_udp = boundSocket(SOCK_DGRAM, ip, &m_udpPort);
        if (m_listen >= 0)
            ::listen(m_listen, 16);
        m_acceptThread = std::thread([this] { acceptLoop(); });
        m_discoveryThread = std::thread([this] { discoveryLoop(); });
    }
    ~FakeCamera()
    {
        m_stop = true;
        m_acceptThread.join(); // no connection thread is added after this
        m_discoveryThread.join();
        for (std::thread &t : m_threads)
            t.join();
        ::close(m_listen);
        ::close(m_udp);
    }
    bool ok() const { return m_listen >= 0 && m_udp >= 0; }
    const std::string &ip() const { return m_ip; }
    uint16_t port() const { return m_port; }
    uint16_t udpPort() const { return m_udpPort; }

    std::atomic<int> logins{0};
    std::atomic<int> openConnections{0};

    std::string lastUpgradeUser()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_upgradeUser;
    }
    // Waits for the library to attach a video connection.
    bool waitVideo()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::milliseconds(kWait), [this] { return m_videoFd >= 0; });
    }
    // Sends one video message, or unframed the bytes as they stand.
    bool sendVideo(const std::string &body, bool framed = true)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const std::string wire = framed ? be32(uint32_t(body.size())) + body : body;
        return m_videoFd >= 0 && ::send(m_videoFd, wire.data(), wire.size(), MSG_NOSIGNAL) == ssize_t(wire.size());
    }
    // Ends the stream (unless the library is to end it itself) and waits until the library has
    // read everything and closed its side: every picture sent has then been decoded or rejected.
    bool finishVideo(bool endStream = true)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (endStream && m_videoFd >= 0)
            ::shutdown(m_videoFd, SHUT_WR);
        return m_cv.wait_for(lock, std::chrono::milliseconds(kWait), [this] { return m_videoFd < 0; });
    }

private:
    void acceptLoop()
    {
        while (waitReadable(m_listen, m_stop)) {
            const int fd = ::accept(m_listen, nullptr, nullptr);
            if (fd < 0)
                continue;
            ++openConnections;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_threads.emplace_back([this, fd] { serve(fd); });
        }
    }

    void discoveryLoop()
    {
        char buffer[2048];
        while (waitReadable(m_udp, m_stop)) {
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n = ::recvfrom(m_udp, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr *>(&from), &len);
            if (n <= 0 || std::string(buffer, size_t(n)) != R"({"cmd":"discover"})")
                continue;
            const nlohmann::json answer = {
                {"ip", m_ip},
                {"discover", {{"model", "CM14_IPC"}, {"sw_ver", "5.4.5"}, {"hw_ver", "1.0"}, {"port", m_port}}}};
            const std::string text = answer.dump();
            ::sendto(m_udp, text.data(), text.size(), 0, reinterpret_cast<sockaddr *>(&from), len);
        }
    }

    void serve(int fd)
    {
        bool loggedIn = false;
        bool video = false;
        for (;;) {
            char header[4];
            if (!readExactly(fd, header, 4, m_stop))
                break;
            const uint32_t size = uint32_t(uint8_t(header[0])) << 24 | uint32_t(uint8_t(header[1])) << 16 |
                                  uint32_t(uint8_t(header[2])) << 8 | uint8_t(header[3]);
            std::string text(size, '\0');
            if (size > 65536 || !readExactly(fd, text.data(), size, m_stop))
                break;
            if (video)
                continue;
            const nlohmann::json request = nlohmann::json::parse(text, nullptr, false);
            if (!request.is_object()) {
                sendFramed(fd, R"({"error":{"code":-2}})");
                continue;
            }
            const std::string cmd = request.value("cmd", "");
            if (!loggedIn) {
                const char *key = cmd == "login" ? "login" : "";
                const bool good = request.contains(key) && request[key].value("username", "") == kUser &&
                                  request[key].value("passwd", "") == kPassword;
                logins += good ? 1 : 0; // counted before the answer lets the library return
                sendFramed(fd, good ? R"({"login":{"code":0}})" : R"({"login":{"code":-3}})");
                if (!good)
                    break;
                loggedIn = true;
            } else if (cmd == "get_image") {
                sendFramed(
                    fd, nlohmann::json{{"get_image", {{"code", 0}, {"bright", 50}, {"tag", request.value("tag", -1)}}}}
                            .dump());
            } else if (cmd == "upgrade") {
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_upgradeUser = request["upgrade"].value("username", "");
                }
                sendFramed(fd, R"({"upgrade":{"code":0}})");
            } else if (cmd == "attach_stream") {
                sendFramed(fd, R"({"attach_stream":{"code":0}})");
                std::lock_guard<std::mutex> lock(m_mutex);
                m_videoFd = fd;
                video = true;
                m_cv.notify_all();
            } else if (cmd == "drop") {
                break;
            } else if (cmd != "hang") {
                sendFramed(fd, nlohmann::json{{cmd, {{"code", -1}}}}.dump());
            }
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_videoFd == fd)
            m_videoFd = -1;
        ::close(fd);
        --openConnections;
        m_cv.notify_all();
    }

    std::string m_ip;
    int m_listen = -1, m_udp = -1;
    uint16_t m_port = 0, m_udpPort = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::thread m_acceptThread, m_discoveryThread;
    std::vector<std::thread> m_threads; // one per connection
    int m_videoFd = -1;
    std::string m_upgradeUser;
};

std::string loginRequest(const FakeCamera &camera, const char *password = kPassword, int port = -1)
{
    return nlohmann::json{{"cmd", "login"},
                          {"ip", camera.ip()},
                          {"port", port < 0 ? camera.port() : port},
                          {"login", {{"username", kUser}, {"passwd", password}}}}
        .dump();
}

// Sends a request and returns the status; the answer, if any, lands in *answer.
int32_t ask(int32_t id, const std::string &text, std::string *answer = nullptr)
{
    char *out = nullptr;
    const int32_t status = l_sdk_request(id, text.c_str(), &out);
    if (answer)
        *answer = out ? out : "";
    l_sdk_free(out);
    return status;
}

std::vector<nlohmann::json> devices()
{
    char *text = nullptr;
    if (l_sdk_discover_get_devs(&text) != L_SDK_OK)
        return {};
    const nlohmann::json list = nlohmann::json::parse(text);
    l_sdk_free(text);
    return {list.begin(), list.end()};
}

// The timestamps of the pictures a decoder holds, each released; a status other than "no data"
// (or a failed release) ends the list as its negative.
std::vector<int64_t> drain(int32_t decoder)
{
    std::vector<int64_t> stamps;
    l_sdk_md_data *d = nullptr;
    int32_t status;
    while ((status = l_sdk_dec_get_md_data(decoder, &d)) == L_SDK_OK) {
        stamps.push_back(int64_t(d->timestamp));
        if ((status = l_sdk_dec_free_md_data(d)) != L_SDK_OK)
            break;
    }
    if (status != L_SDK_ERR_NO_DATA)
        stamps.push_back(-status);
    return stamps;
}

bool listed(const std::string &ip)
{
    for (const nlohmann::json &d : devices())
        if (d.value("ip", "") == ip)
            return true;
    return false;
}

// A synthetic RGB picture: red grows to the right, green downwards, blue constant.
struct Rgb
{
    int r, g, b;
};
Rgb pixelAt(int x, int y, int w, int h)
{
    return {x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 64};
}
double lumaOf(Rgb p)
{
    return 0.299 * p.r + 0.587 * p.g + 0.114 * p.b;
}
double cbOf(Rgb p)
{
    return 128 - 0.168736 * p.r - 0.331264 * p.g + 0.5 * p.b;
}

std::string encodeJpeg(int w, int h, int subsampling)
{
    const bool grey = subsampling == TJSAMP_GRAY;
    std::vector<unsigned char> pixels(size_t(w) * h * (grey ? 1 : 3));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const Rgb p = pixelAt(x, y, w, h);
            unsigned char *d = &pixels[(size_t(y) * w + x) * (grey ? 1 : 3)];
            if (grey) {
                d[0] = static_cast<unsigned char>(std::lround(lumaOf(p)));
            } else {
                d[0] = p.r, d[1] = p.g, d[2] = p.b;
            }
        }
    tjhandle tj = tjInitCompress();
    unsigned char *jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, pixels.data(), w, 0, h, grey ? TJPF_GRAY : TJPF_RGB, &jpeg, &size, subsampling, 95, 0);
    std::string out(reinterpret_cast<char *>(jpeg), size);
    tjFree(jpeg);
    tjDestroy(tj);
    return out;
}

// Mean absolute difference of the luma plane, and of the blue-difference plane sampled at
// the centre of each 2x2 block, against the synthetic picture.
void compareWithSource(const l_sdk_md_data *d, bool grey, double *lumaError, double *chromaError)
{
    double sumY = 0, sumU = 0;
    for (int y = 0; y < d->height; ++y)
        for (int x = 0; x < d->width; ++x)
            sumY += std::abs(L_SDK_PLANE_PTR(d->planes[0])[y * d->planes[0].stride + x] -
                             lumaOf(pixelAt(x, y, d->width, d->height)));
    const int cw = (d->width + 1) / 2, ch = (d->height + 1) / 2;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x) {
            const int sx = std::min(2 * x, d->width - 1), sy = std::min(2 * y, d->height - 1);
            const Rgb a = pixelAt(sx, sy, d->width, d->height);
            const Rgb b = pixelAt(std::min(sx + 1, d->width - 1), std::min(sy + 1, d->height - 1), d->width, d->height);
            const double expected = grey ? 128 : (cbOf(a) + cbOf(b)) / 2;
            sumU += std::abs(L_SDK_PLANE_PTR(d->planes[1])[y * d->planes[1].stride + x] - expected);
        }
    *lumaError = sumY / (double(d->width) * d->height);
    *chromaError = sumU / (double(cw) * ch);
}

// H.264 access units of a moving gradient, from libavcodec's x264 encoder.
std::vector<std::string> encodeH264(int w, int h, int frames)
{
    std::vector<std::string> units;
    const AVCodec *codec = avcodec_find_encoder_by_name("libx264");
    if (!codec)
        return units;
    AVCodecContext *c = avcodec_alloc_context3(codec);
    c->width = w;
    c->height = h;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = {1, 30};
    c->gop_size = 30;
    c->max_b_frames = 0;
    av_opt_set(c->priv_data, "preset", "ultrafast", 0);
    av_opt_set(c->priv_data, "tune", "zerolatency", 0);
    AVFrame *frame = av_frame_alloc();
    AVPacket *packet = av_packet_alloc();
    if (avcodec_open2(c, codec, nullptr) == 0) {
        frame->format = c->pix_fmt;
        frame->width = w;
        frame->height = h;
        av_frame_get_buffer(frame, 0);
        for (int i = 0; i < frames; ++i) {
            av_frame_make_writable(frame);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    frame->data[0][y * frame->linesize[0] + x] = uint8_t((x + y + 16 * i) & 0xff);
            for (int p = 1; p < 3; ++p)
                for (int y = 0; y < h / 2; ++y)
                    std::memset(frame->data[p] + y * frame->linesize[p], p == 1 ? 90 : 160, w / 2);
            frame->pts = i;
            avcodec_send_frame(c, frame);
            while (avcodec_receive_packet(c, packet) == 0) {
                units.emplace_back(reinterpret_cast<char *>(packet->data), packet->size);
                av_packet_unref(packet);
            }
        }
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&c);
    return units;
}

} // namespace

class TstLsdk : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_a = std::make_unique<FakeCamera>("127.0.0.2");
        m_b = std::make_unique<FakeCamera>("127.0.0.3");
        QVERIFY(m_a->ok() && m_b->ok());
        uint16_t port = 0;
        const int fd = boundSocket(SOCK_STREAM, "127.0.0.4", &port); // bound, never listening: refused
        ::close(fd);
        m_unusedPort = port;
        // Camera b first, bad entries between: the list must still come out sorted and clean.
        const std::string targets = "127.0.0.3:" + std::to_string(m_b->udpPort()) +
                                    ",camera.local:35200, 127.0.0.2:" + std::to_string(m_a->udpPort()) +
                                    ",127.0.0.9:0,127.0.0.9:70000,127.0.0.9";
        qputenv("LSDK_DISCOVERY_TARGETS", targets.c_str());
        qputenv("LSDK_REQUEST_TIMEOUT_MS", "400");
        QCOMPARE(l_sdk_log_set_callback(&keepLogLine), L_SDK_OK);
    }

    void notInitialized_data()
    {
        QTest::addColumn<Call>("call");
        char *text = nullptr;
        l_sdk_md_data *data = nullptr;
        int32_t id = 0;
        QTest::newRow("quit") << Call([] { return l_sdk_quit(); });
        QTest::newRow("discover_open") << Call([] { return l_sdk_discover_open(""); });
        QTest::newRow("discover_run") << Call([] { return l_sdk_discover_run(1); });
        QTest::newRow("discover_get_devs") << Call([text]() mutable { return l_sdk_discover_get_devs(&text); });
        QTest::newRow("login") << Call([id]() mutable { return l_sdk_login(&id, R"({"ip":"127.0.0.2","port":1})"); });
        QTest::newRow("request") << Call([text]() mutable { return l_sdk_request(1, R"({"cmd":"x"})", &text); });
        QTest::newRow("dec_open") << Call([] { return l_sdk_dec_open(1, R"({"md_fmt":"MJPEG"})"); });
        QTest::newRow("dec_get_md_data") << Call([data]() mutable { return l_sdk_dec_get_md_data(1, &data); });
    }

    void notInitialized()
    {
        QFETCH(Call, call);
        l_sdk_quit();
        QCOMPARE(call(), L_SDK_ERR_NOT_INITIALIZED);
    }

    void init() { QCOMPARE(l_sdk_init(""), L_SDK_OK); }

    // Whatever a failed test left open is closed, so that counts of connections stay exact.
    void cleanup() { l_sdk_quit(); }

    void invalidArguments_data()
    {
        QTest::addColumn<Call>("call");
        QTest::addColumn<int>("status");
        char *text = nullptr;
        int32_t id = 0;
        l_sdk_md_data stray{};
        auto open = [](const char *description) { return Call([=] { return l_sdk_dec_open(50, description); }); };
        QTest::newRow("init config not JSON") << Call([] { return l_sdk_init("{"); }) << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("login null id") << Call([] { return l_sdk_login(nullptr, "{}"); }) << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("login null request")
            << Call([id]() mutable { return l_sdk_login(&id, nullptr); }) << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("request null answer")
            << Call([] { return l_sdk_request(1, "{}", nullptr); }) << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("request unknown login id")
            << Call([text]() mutable { return l_sdk_request(777, R"({"cmd":"get_image"})", &text); })
            << L_SDK_ERR_NO_SESSION;
        QTest::newRow("login id 0 for another command")
            << Call([text]() mutable { return l_sdk_request(0, R"({"cmd":"get_image"})", &text); })
            << L_SDK_ERR_NO_SESSION;
        QTest::newRow("logout unknown") << Call([] { return l_sdk_logout(777); }) << L_SDK_ERR_NO_SESSION;
        QTest::newRow("discover_run 2") << Call([] { return l_sdk_discover_run(2); }) << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("get_devs null") << Call([] { return l_sdk_discover_get_devs(nullptr); })
                                       << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("dec_open null") << open(nullptr) << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("dec_open not JSON") << open("MJPEG") << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("dec_open unknown format")
            << open(R"({"md_fmt":"VP8","pix_fmt":"YUV420P_SEPARATE"})") << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("dec_open no pix_fmt") << open(R"({"md_fmt":"MJPEG"})") << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("dec_open packed pix_fmt")
            << open(R"({"md_fmt":"H264","pix_fmt":"RGB24"})") << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("dec_open duplicate id")
            << Call([] { return l_sdk_dec_open(51, R"({"md_fmt":"H264","pix_fmt":"YUV420P_SEPARATE"})"); })
            << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("bind unknown decoder")
            << Call([] { return l_sdk_dec_bind(777, 1, 0, 0); }) << L_SDK_ERR_NO_DECODER;
        QTest::newRow("bind unknown login")
            << Call([] { return l_sdk_dec_bind(51, 777, 0, 0); }) << L_SDK_ERR_NO_SESSION;
        QTest::newRow("unbind unbound") << Call([] { return l_sdk_dec_unbind(51); }) << L_SDK_ERR_NO_DECODER;
        QTest::newRow("get_md_data unbound") << Call([] {
            l_sdk_md_data *d = nullptr;
            return l_sdk_dec_get_md_data(51, &d);
        }) << L_SDK_ERR_NO_DECODER;
        QTest::newRow("get_md_data null")
            << Call([] { return l_sdk_dec_get_md_data(51, nullptr); }) << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("free_md_data stray block")
            << Call([stray]() mutable { return l_sdk_dec_free_md_data(&stray); }) << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("close unknown decoder") << Call([] { return l_sdk_dec_close(777); }) << L_SDK_ERR_NO_DECODER;
    }

    void invalidArguments()
    {
        QFETCH(Call, call);
        QFETCH(int, status);
        l_sdk_dec_close(51);
        QCOMPARE(l_sdk_dec_open(51, R"({"md_fmt":"MJPEG","pix_fmt":"YUV420P_SEPARATE"})"), L_SDK_OK);
        QCOMPARE(call(), status);
        l_sdk_dec_close(50);
        QCOMPARE(l_sdk_dec_close(51), L_SDK_OK);
    }

    void discoveryListsInAddressOrder()
    {
        QCOMPARE(l_sdk_discover_open(""), L_SDK_OK);
        QCOMPARE(l_sdk_discover_run(1), L_SDK_OK);
        QTRY_VERIFY_WITH_TIMEOUT(devices().size() == 2, kWait);
        const std::vector<nlohmann::json> list = devices();
        QCOMPARE(list[0]["ip"].get<std::string>(), std::string("127.0.0.2"));
        QCOMPARE(list[1]["ip"].get<std::string>(), std::string("127.0.0.3"));

        QCOMPARE(l_sdk_discover_run(0), L_SDK_OK);
        QCOMPARE(l_sdk_discover_close(), L_SDK_OK);
        QVERIFY(devices().empty());
    }

    void discoveryBelievesOnlyAskedSenders_data()
    {
        QTest::addColumn<QByteArray>("sender"); // where the forged answer comes from
        QTest::addColumn<QByteArray>("claimed");
        QTest::newRow("asked address claims another") << QByteArray("127.0.0.5") << QByteArray("127.0.0.10");
        QTest::newRow("address never asked") << QByteArray("127.0.0.11") << QByteArray("127.0.0.11");
    }

    void discoveryBelievesOnlyAskedSenders()
    {
        QFETCH(QByteArray, sender);
        QFETCH(QByteArray, claimed);
        uint16_t port = 0, otherPort = 0;
        const int asked = boundSocket(SOCK_DGRAM, "127.0.0.5", &port);
        const int other = boundSocket(SOCK_DGRAM, "127.0.0.11", &otherPort);
        QVERIFY(asked >= 0 && other >= 0);
        const QByteArray targets = qgetenv("LSDK_DISCOVERY_TARGETS");
        qputenv("LSDK_DISCOVERY_TARGETS", "127.0.0.5:" + QByteArray::number(port));
        QCOMPARE(l_sdk_discover_open(""), L_SDK_OK);
        qputenv("LSDK_DISCOVERY_TARGETS", targets);
        QCOMPARE(l_sdk_discover_run(1), L_SDK_OK);

        pollfd p{asked, POLLIN, 0};
        QCOMPARE(::poll(&p, 1, kWait), 1);
        char query[64];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        QVERIFY(::recvfrom(asked, query, sizeof query, 0, reinterpret_cast<sockaddr *>(&from), &len) > 0);
        const auto answer = [&](int fd, const std::string &ip) {
            const std::string text =
                nlohmann::json{{"ip", ip}, {"discover", {{"model", "CM14_IPC"}, {"port", 80}}}}.dump();
            ::sendto(fd, text.data(), text.size(), 0, reinterpret_cast<sockaddr *>(&from), len);
        };
        answer(sender == "127.0.0.5" ? asked : other, claimed.toStdString());
        // The honest answer goes after the forged one: once it is listed, the forged one was read.
        answer(asked, "127.0.0.5");
        QTRY_VERIFY_WITH_TIMEOUT(listed("127.0.0.5"), kWait);
        QCOMPARE(int(devices().size()), 1);
        ::close(asked);
        ::close(other);
    }

    void login_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::newRow("good") << QByteArray::fromStdString(loginRequest(*m_a)) << L_SDK_OK;
        QTest::newRow("no cmd member")
            << QByteArray::fromStdString(loginRequest(*m_b)).replace("\"cmd\":\"login\",", "") << L_SDK_OK;
        QTest::newRow("wrong password") << QByteArray::fromStdString(loginRequest(*m_a, "123")) << L_SDK_ERR_AUTH;
        QTest::newRow("nothing listening")
            << QByteArray::fromStdString(loginRequest(*m_a, kPassword, m_unusedPort)).replace("127.0.0.2", "127.0.0.4")
            << L_SDK_ERR_UNREACHABLE;
        QTest::newRow("not JSON") << QByteArray("login please") << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("host name") << QByteArray::fromStdString(loginRequest(*m_a)).replace("127.0.0.2", "camera.local")
                                   << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("no port known") << QByteArray::fromStdString(loginRequest(*m_a, kPassword, 0))
                                       << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("other command") << QByteArray::fromStdString(loginRequest(*m_a)).replace("\"login\",", "\"x\",")
                                       << L_SDK_ERR_INVALID_ARG;
        QTest::newRow("no credentials")
            << QByteArray::fromStdString(
                   nlohmann::json{{"cmd", "login"}, {"ip", "127.0.0.2"}, {"port", m_a->port()}}.dump())
            << L_SDK_ERR_INVALID_ARG;
    }

    void login()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        int32_t id = -5;
        QCOMPARE(l_sdk_login(&id, request.constData()), status);
        if (status == L_SDK_OK) {
            QVERIFY(id > 0);
            QCOMPARE(l_sdk_logout(id), L_SDK_OK);
            QCOMPARE(l_sdk_logout(id), L_SDK_ERR_NO_SESSION);
        } else {
            QCOMPARE(id, -5);
        }
    }

    void requestAnswer_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("answer");
        // A camera's refusal is an answer: the caller reads its code.
        QTest::newRow("unknown command") << QByteArray(R"({"cmd":"fly"})") << L_SDK_OK << R"({"fly":{"code":-1}})";
        QTest::newRow("not JSON") << QByteArray("get_image") << L_SDK_ERR_INVALID_ARG << "";
        QTest::newRow("not an object") << QByteArray("[1,2]") << L_SDK_ERR_INVALID_ARG << "";
    }

    void requestAnswer()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QString, answer);
        int32_t id = 0;
        QCOMPARE(l_sdk_login(&id, loginRequest(*m_a).c_str()), L_SDK_OK);
        std::string got;
        QCOMPARE(ask(id, request.toStdString(), &got), status);
        QCOMPARE(QString::fromStdString(got), answer);
        QCOMPARE(l_sdk_logout(id), L_SDK_OK);
    }

    void brokenConnectionReconnects_data()
    {
        QTest::addColumn<QByteArray>("breaking");
        QTest::newRow("no answer in time") << QByteArray(R"({"cmd":"hang"})");
        QTest::newRow("camera closes") << QByteArray(R"({"cmd":"drop"})");
    }

    void brokenConnectionReconnects()
    {
        QFETCH(QByteArray, breaking);
        int32_t id = 0;
        QCOMPARE(l_sdk_login(&id, loginRequest(*m_a).c_str()), L_SDK_OK);
        const int logins = m_a->logins;
        QCOMPARE(ask(id, breaking.toStdString()), L_SDK_ERR_UNREACHABLE);
        // The broken connection is closed, so a late answer can never pair with the next request.
        QTRY_COMPARE_WITH_TIMEOUT(m_a->openConnections.load(), 0, kWait);
        std::string answer;
        QCOMPARE(ask(id, R"({"cmd":"get_image","tag":9})", &answer), L_SDK_OK);
        QCOMPARE(nlohmann::json::parse(answer)["get_image"]["tag"].get<int>(), 9);
        QCOMPARE(m_a->logins.load(), logins + 1);
        QCOMPARE(l_sdk_logout(id), L_SDK_OK);
    }

    void concurrentRequestsKeepTheirAnswers()
    {
        int32_t id = 0;
        QCOMPARE(l_sdk_login(&id, loginRequest(*m_a).c_str()), L_SDK_OK);
        std::atomic<int> mismatches{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int i = 0; i < 25; ++i) {
                    const int tag = t * 1000 + i;
                    std::string answer;
                    if (ask(id, nlohmann::json{{"cmd", "get_image"}, {"tag", tag}}.dump(), &answer) != L_SDK_OK ||
                        nlohmann::json::parse(answer)["get_image"]["tag"] != tag)
                        ++mismatches;
                }
            });
        for (std::thread &t : threads)
            t.join();
        QCOMPARE(mismatches.load(), 0);
        QCOMPARE(l_sdk_logout(id), L_SDK_OK);
    }

    void upgradeWithoutSession()
    {
        auto upgrade = [this](const char *password) {
            return nlohmann::json{{"cmd", "upgrade"},
                                  {"ip", m_b->ip()},
                                  {"port", m_b->port()},
                                  {"path", "/tmp/cm14.lpk"},
                                  {"upgrade", {{"username", kUser}, {"passwd", password}}}}
                .dump();
        };
        std::string answer;
        QCOMPARE(ask(0, upgrade(kPassword), &answer), L_SDK_OK);
        QCOMPARE(answer, std::string(R"({"upgrade":{"code":0}})"));
        QCOMPARE(m_b->lastUpgradeUser(), std::string(kUser));
        QTRY_COMPARE_WITH_TIMEOUT(m_b->openConnections.load(), 0, kWait); // disconnected after the answer
        QCOMPARE(ask(0, upgrade("wrong")), L_SDK_ERR_AUTH);
    }

    void mjpegPictures_data()
    {
        QTest::addColumn<int>("subsampling");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("4:2:0") << int(TJSAMP_420) << 320 << 240;
        QTest::newRow("4:2:0 odd size") << int(TJSAMP_420) << 161 << 97;
        QTest::newRow("4:2:2") << int(TJSAMP_422) << 320 << 240;
        QTest::newRow("4:4:4") << int(TJSAMP_444) << 200 << 120;
        QTest::newRow("4:1:1") << int(TJSAMP_411) << 256 << 64;
        QTest::newRow("grey") << int(TJSAMP_GRAY) << 160 << 120;
    }

    void mjpegPictures()
    {
        QFETCH(int, subsampling);
        QFETCH(int, width);
        QFETCH(int, height);
        int32_t login = 0;
        QVERIFY(bindDecoder(10, "MJPEG", &login));
        const uint64_t sentAt = 1700000000123456ull;
        QVERIFY(m_a->sendVideo(videoMessage(1, width, height, sentAt, encodeJpeg(width, height, subsampling))));
        QVERIFY(m_a->finishVideo());

        l_sdk_md_data *d = nullptr;
        QCOMPARE(l_sdk_dec_get_md_data(10, &d), L_SDK_OK);
        QVERIFY(d);
        QCOMPARE(d->format, L_SDK_PIX_FMT_YUV420P);
        QCOMPARE(d->width, width);
        QCOMPARE(d->height, height);
        QCOMPARE(int64_t(d->timestamp), int64_t(sentAt));
        QVERIFY(d->ref != 0);
        QVERIFY(d->planes[0].stride >= width && d->planes[1].stride >= (width + 1) / 2 &&
                d->planes[2].stride >= (width + 1) / 2);
        double lumaError = 0, chromaError = 0;
        compareWithSource(d, subsampling == TJSAMP_GRAY, &lumaError, &chromaError);
        QVERIFY2(lumaError < 2.5, qPrintable(QString::number(lumaError)));
        QVERIFY2(chromaError < 4.0, qPrintable(QString::number(chromaError)));
        QCOMPARE(l_sdk_dec_free_md_data(d), L_SDK_OK);
        QCOMPARE(l_sdk_dec_free_md_data(d), L_SDK_ERR_INVALID_ARG); // released once only

        // The connection is gone: no more pictures, and it is not reopened.
        QCOMPARE(l_sdk_dec_get_md_data(10, &d), L_SDK_ERR_NO_DATA);
        QVERIFY(!d);
        QCOMPARE(l_sdk_dec_close(10), L_SDK_OK);
        QCOMPARE(l_sdk_logout(login), L_SDK_OK);
    }

    void h264Pictures()
    {
        const int w = 320, h = 240;
        const std::vector<std::string> units = encodeH264(w, h, 3);
        if (units.empty())
            QSKIP("libavcodec has no x264 encoder here");
        QCOMPARE(int(units.size()), 3);
        int32_t login = 0;
        QVERIFY(bindDecoder(11, "H264", &login));
        // A JPEG picture on the same connection is skipped by an H.264 decoder; a key frame cut short
        // is concealed by the decoder and dropped.
        QVERIFY(m_a->sendVideo(videoMessage(1, w, h, 5, encodeJpeg(w, h, TJSAMP_420))));
        QVERIFY(m_a->sendVideo(videoMessage(2, w, h, 99, units[0].substr(0, units[0].size() / 2))));
        // The second picture comes under a stale size: decoded (the third refers to it) but not handed out.
        for (size_t i = 0; i < units.size(); ++i)
            QVERIFY(m_a->sendVideo(videoMessage(2, i == 1 ? 640 : w, i == 1 ? 480 : h, 100 + i, units[i])));
        QVERIFY(m_a->finishVideo());

        for (int i : {0, 2}) {
            l_sdk_md_data *d = nullptr;
            QCOMPARE(l_sdk_dec_get_md_data(11, &d), L_SDK_OK);
            QCOMPARE(d->width, w);
            QCOMPARE(d->height, h);
            QCOMPARE(int64_t(d->timestamp), int64_t(100 + i));
            double error = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    error += std::abs(L_SDK_PLANE_PTR(d->planes[0])[y * d->planes[0].stride + x] -
                                      int((x + y + 16 * i) & 0xff));
            QVERIFY2(error / (w * h) < 3.0, qPrintable(QString::number(error / (w * h))));
            QVERIFY(std::abs(L_SDK_PLANE_PTR(d->planes[2])[d->planes[2].stride * 60 + 80] - 160) < 4);
            QCOMPARE(l_sdk_dec_free_md_data(d), L_SDK_OK);
        }
        QVERIFY(drain(11).empty());
    }

    void rejectedVideoMessages_data()
    {
        const std::string jpeg = encodeJpeg(64, 48, TJSAMP_420);
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<bool>("framed");
        QTest::addColumn<int>("pictures"); // from the good message sent after the bad one
        auto row = [](const char *name, const std::string &bytes, bool framed = true, int pictures = 1) {
            QTest::newRow(name) << QByteArray::fromStdString(bytes) << framed << pictures;
        };
        row("wrong magic", videoMessage(1, 64, 48, 1, jpeg, "LVIX"));
        row("shorter than a header", videoMessage(1, 64, 48, 1, "").substr(0, 20));
        row("zero width", videoMessage(1, 0, 48, 1, jpeg));
        row("height above 16384", videoMessage(1, 64, 16385, 1, jpeg));
        row("stale size in header", videoMessage(1, 128, 96, 1, jpeg));
        row("not a JPEG", videoMessage(1, 64, 48, 1, std::string(500, 'x')));
        row("JPEG cut short", videoMessage(1, 64, 48, 1, jpeg.substr(0, jpeg.size() * 2 / 3)));
        row("unknown codec", videoMessage(9, 64, 48, 1, jpeg));
        // A length above 16 MiB: the stream cannot be trusted further and is closed unread.
        row("length above 16 MiB", be32(16 * 1024 * 1024 + 1) + std::string(64, '\0'), false, 0);
    }

    void rejectedVideoMessages()
    {
        QFETCH(QByteArray, bad);
        QFETCH(bool, framed);
        QFETCH(int, pictures);
        int32_t login = 0;
        QVERIFY(bindDecoder(12, "MJPEG", &login));
        QVERIFY(m_a->sendVideo(bad.toStdString(), framed));
        m_a->sendVideo(videoMessage(1, 64, 48, 42, encodeJpeg(64, 48, TJSAMP_420)));
        // A stream that cannot be trusted further is closed by the library itself, and logged.
        QVERIFY(m_a->finishVideo(pictures > 0));
        if (pictures == 0)
            QVERIFY(logged("video message longer than 16777216 bytes: connection closed"));
        QCOMPARE(drain(12), std::vector<int64_t>(size_t(pictures), 42));
    }

    void queueKeepsNewestFour()
    {
        int32_t login = 0;
        QVERIFY(bindDecoder(13, "MJPEG", &login));
        const std::string jpeg = encodeJpeg(32, 32, TJSAMP_420);
        for (int i = 1; i <= 7; ++i)
            QVERIFY(m_a->sendVideo(videoMessage(1, 32, 32, i, jpeg)));
        QVERIFY(m_a->finishVideo());
        QCOMPARE(drain(13), (std::vector<int64_t>{4, 5, 6, 7}));

        // Bound again, it streams again; unbound, it yields nothing.
        QCOMPARE(l_sdk_dec_bind(13, login, 0, 0), L_SDK_OK);
        QVERIFY(m_a->waitVideo());
        QCOMPARE(l_sdk_dec_unbind(13), L_SDK_OK);
        QTRY_COMPARE_WITH_TIMEOUT(m_a->openConnections.load(), 1, kWait); // the command connection stays
        l_sdk_md_data *d = nullptr;
        QCOMPARE(l_sdk_dec_get_md_data(13, &d), L_SDK_ERR_NO_DECODER);
        QCOMPARE(l_sdk_dec_unbind(13), L_SDK_ERR_NO_DECODER);
        QCOMPARE(l_sdk_dec_close(13), L_SDK_OK);
        QCOMPARE(l_sdk_logout(login), L_SDK_OK);
    }

    void quitClosesEverything()
    {
        int32_t login = 0;
        QVERIFY(bindDecoder(14, "MJPEG", &login));
        QVERIFY(m_a->sendVideo(videoMessage(1, 32, 32, 3, encodeJpeg(32, 32, TJSAMP_444))));
        l_sdk_md_data *d = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(d || l_sdk_dec_get_md_data(14, &d) == L_SDK_OK, kWait);

        QCOMPARE(l_sdk_quit(), L_SDK_OK);
        QTRY_COMPARE_WITH_TIMEOUT(m_a->openConnections.load(), 0, kWait);
        QCOMPARE(ask(login, R"({"cmd":"get_image"})"), L_SDK_ERR_NOT_INITIALIZED);
        // A picture handed out before stays valid and is released normally.
        QVERIFY(std::abs(L_SDK_PLANE_PTR(d->planes[0])[0] - lumaOf(pixelAt(0, 0, 32, 32))) < 4);
        QCOMPARE(l_sdk_dec_free_md_data(d), L_SDK_OK);
        // Started again, nothing of the old state remains.
        QCOMPARE(l_sdk_init(""), L_SDK_OK);
        QCOMPARE(l_sdk_dec_unbind(14), L_SDK_ERR_NO_DECODER);
        QCOMPARE(l_sdk_logout(login), L_SDK_ERR_NO_SESSION);
        QCOMPARE(l_sdk_quit(), L_SDK_OK);
    }

private:
    // Logs in to camera a, opens decoder id of the format and binds it.
    bool bindDecoder(int32_t decoderId, const char *format, int32_t *loginId)
    {
        const std::string description = nlohmann::json{{"md_fmt", format}, {"pix_fmt", "YUV420P_SEPARATE"}}.dump();
        return l_sdk_login(loginId, loginRequest(*m_a).c_str()) == L_SDK_OK &&
               l_sdk_dec_open(decoderId, description.c_str()) == L_SDK_OK &&
               l_sdk_dec_bind(decoderId, *loginId, 0, 0) == L_SDK_OK && m_a->waitVideo();
    }

    std::unique_ptr<FakeCamera> m_a, m_b;
    int m_unusedPort = 0;
};

QTEST_GUILESS_MAIN(TstLsdk)
#include "tst_lsdk.moc"
