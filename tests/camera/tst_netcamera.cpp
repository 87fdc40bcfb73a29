// NetCamera and NewNetCamera against a scripted l_sdk: commands, back-off, stream, frames.
#include "models/cm14netcamera.h"
#include "models/cm21netcamera.h"
#include "netcamera.h"
#include "newnetcamera.h"

#include <QSignalSpy>
#include <QtTest>
#include <deque>
#include <l_sdk.h>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <vector>

using nlohmann::json;

namespace {

QStringList g_log;
void collectMessages(QtMsgType, const QMessageLogContext &, const QString &text)
{
    g_log << text;
}

bool logged(const QString &text)
{
    for (const QString &line : g_log) {
        if (line.contains(text))
            return true;
    }
    return false;
}

// A decoded YUV 4:2:0 picture whose planes the test owns.
struct Picture
{
    l_sdk_md_data data{};
    std::vector<uint8_t> y, u, v;

    Picture(int width, int height)
    {
        y.assign(size_t(width) * height, 120);
        u.assign(size_t(width / 2) * (height / 2), 128);
        v.assign(size_t(width / 2) * (height / 2), 128);
        data.format = L_SDK_PIX_FMT_YUV420P;
        data.width = width;
        data.height = height;
        data.planes[0] = {uint64_t(uintptr_t(y.data())), width};
        data.planes[1] = {uint64_t(uintptr_t(u.data())), width / 2};
        data.planes[2] = {uint64_t(uintptr_t(v.data())), width / 2};
        data.ref = 1;
    }
};

// The library as the camera sees it: answers from a table, statuses from a queue, a clock
// the test moves, and a decoder that hands out prepared pictures.
class FakeRequester : public NetRequester
{
public:
    // Answer bodies (without "code") per command; a command not here answers code 0 only.
    std::map<std::string, json> bodies;
    // Replies taken in order before the table is used: status and raw answer text.
    std::deque<std::pair<int, std::string>> scripted;
    std::vector<json> sent;
    std::vector<int32_t> sentLoginIds;
    std::vector<std::string> sentTexts;
    qint64 now = 0;

    std::vector<std::string> decoderCalls;
    std::string decoderDescription;
    int openStatus = L_SDK_OK;
    int bindStatus = L_SDK_OK;
    std::deque<std::pair<int, Picture *>> pictures;
    int handedOut = 0;
    int freed = 0;

    int32_t login(int32_t &loginId, const std::string &) override
    {
        loginId = 7;
        return L_SDK_OK;
    }
    int32_t logout(int32_t) override { return L_SDK_OK; }
    int32_t request(int32_t loginId, const std::string &request, std::string &answer) override
    {
        sentTexts.push_back(request);
        sent.push_back(json::parse(request));
        sentLoginIds.push_back(loginId);
        if (!scripted.empty()) {
            auto [status, text] = scripted.front();
            scripted.pop_front();
            answer = text;
            return status;
        }
        const std::string cmd = sent.back().at("cmd");
        json body = bodies.count(cmd) ? bodies.at(cmd) : json::object();
        body["code"] = 0;
        answer = json{{cmd, body}}.dump();
        return L_SDK_OK;
    }
    int32_t decoderOpen(int32_t, const std::string &description) override
    {
        decoderCalls.push_back("open");
        decoderDescription = description;
        return openStatus;
    }
    int32_t decoderBind(int32_t, int32_t, int32_t, int32_t) override
    {
        decoderCalls.push_back("bind");
        return bindStatus;
    }
    int32_t decoderUnbind(int32_t) override
    {
        decoderCalls.push_back("unbind");
        return L_SDK_OK;
    }
    int32_t decoderClose(int32_t) override
    {
        decoderCalls.push_back("close");
        return L_SDK_OK;
    }
    int32_t decoderPicture(int32_t, l_sdk_md_data **data) override
    {
        if (pictures.empty())
            return L_SDK_ERR_NO_DATA;
        auto [status, picture] = pictures.front();
        pictures.pop_front();
        *data = picture ? &picture->data : nullptr;
        if (picture)
            ++handedOut;
        return status;
    }
    void freePicture(l_sdk_md_data *data) override
    {
        if (data)
            ++freed;
    }
    qint64 elapsedMs() override { return now; }

    // Requests sent with a command name.
    std::vector<json> withCommand(const std::string &cmd) const
    {
        std::vector<json> out;
        for (const json &r : sent) {
            if (r.value("cmd", std::string()) == cmd)
                out.push_back(r);
        }
        return out;
    }
};

// Opens the cached state of a camera for the test's set-up.
template<typename Base> class Probe : public Base
{
public:
    CameraInfo &info() { return this->m_info; }
};

// An opened camera and the fake library it talks through.
template<typename Camera> std::pair<std::unique_ptr<Probe<Camera>>, FakeRequester *> makeCamera()
{
    auto camera = std::make_unique<Probe<Camera>>();
    auto requester = std::make_unique<FakeRequester>();
    FakeRequester *fake = requester.get();
    camera->setRequester(std::move(requester));
    CameraOpenInfo info;
    info.address = QStringLiteral("127.0.0.2");
    info.model = QStringLiteral("CM14_IPC");
    info.userName = QStringLiteral("opusr");
    info.password = QStringLiteral("580264");
    info.port = QStringLiteral("80");
    info.isNetCamera = true;
    camera->open(info);
    return {std::move(camera), fake};
}

CameraOpenInfo streamInfo(int width, int height, int format, int bitRate = 86000)
{
    CameraOpenInfo info;
    info.width = width;
    info.height = height;
    info.resolution = CameraResolution::text(width, height);
    info.streamFormat = format;
    info.bitRate = bitRate;
    return info;
}

// A region drawn on the picture as shown.
CameraControlRegion region(const QRect &r)
{
    return {true, false, r.x(), r.y(), r.width(), r.height()};
}

// A text member as it stands, anything else as JSON text.
QString str(const json &value)
{
    return QString::fromStdString(value.is_string() ? value.get<std::string>() : value.dump());
}

std::set<std::string> keysOf(const json &object)
{
    std::set<std::string> keys;
    for (auto it = object.begin(); it != object.end(); ++it)
        keys.insert(it.key());
    return keys;
}

} // namespace

class TestNetCamera : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The first network camera of the process gets decoder id 1.
        m_firstDecoderId = makeCamera<NetCamera>().first->decoderId();
        qInstallMessageHandler(collectMessages);
    }

    void init() { g_log.clear(); }

    void decoderIdsCount()
    {
        QCOMPARE(m_firstDecoderId, 1);
        auto a = makeCamera<NetCamera>().first;
        auto b = makeCamera<NewNetCamera>().first;
        QVERIFY(a->decoderId() > m_firstDecoderId);
        QCOMPARE(b->decoderId(), a->decoderId() + 1);
    }

    void answerErrors_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("hue"); // 3: the cached value stays and nothing is sent on
        QTest::addColumn<QString>("logLine");

        const auto row = [](const char *name, int status, const QString &answer, int hue, const char *logLine = "") {
            QTest::newRow(name) << status << answer << hue << logLine;
        };
        const auto image = [](const char *code, const char *hue) {
            return QString(R"({"get_image":{"code":%1,"hue":%2}})").arg(code, hue);
        };
        const char *thrown = "getRequest failed, json throw an error:";
        row("codeMissing", 0, R"({"get_image":{"hue":7}})", 3, thrown);
        row("memberMissing", 0, R"({"set_image":{"code":0,"hue":7}})", 3, thrown);
        row("notJson", 0, "hue=7", 3, thrown);
        row("codeNotNumber", 0, image(R"("0")", "7"), 3, thrown);
        row("refusedCode", 0, image("-1", "7"), 3, "Get requset failed");
        row("failedWithoutAnswer", 1, "", 3, "Get requset failed");
        row("fieldMissing", 0, R"({"get_image":{"code":0}})", 3, "getHueValue failed, ");
        row("answerWithFailedStatus", 1, image("0", "7"), 7);
        row("good", 0, image("0", "7"), 7);
        // Numbers beyond int are clamped, not wrapped.
        row("doubleAbove", 0, image("0", "1e12"), INT_MAX);
        row("doubleBelow", 0, image("0", "-1e12"), INT_MIN);
        row("int64Above", 0, image("0", "1099511627776"), INT_MAX);
        row("int64Below", 0, image("0", "-1099511627776"), INT_MIN);
        row("uint64", 0, image("0", "18446744073709551615"), INT_MAX);
        row("fraction", 0, image("0", "7.9"), 7);
        row("codeWrapsToZero", 0, image("4294967296", "7"), 3); // 2^32 would wrap to 0, a success
    }

    void answerErrors()
    {
        QFETCH(int, status);
        QFETCH(QString, answer);
        QFETCH(int, hue);
        QFETCH(QString, logLine);

        auto [camera, fake] = makeCamera<NetCamera>();
        camera->info().hue.value = 3;
        fake->scripted.push_back({status, answer.toStdString()});
        QSignalSpy sent(camera.get(), &BaseCamera::sendHueValue);
        camera->onGetHueValue();

        QCOMPARE(fake->sent.size(), size_t(1));
        QCOMPARE(sent.count(), hue == 3 ? 0 : 1);
        QCOMPARE(camera->cameraInfo().hue.value, hue);
        if (!logLine.isEmpty())
            QVERIFY2(logged(logLine), qPrintable(g_log.join('\n')));
    }

    void backOff_data()
    {
        QTest::addColumn<QVector<int>>("statuses");
        QTest::addColumn<QVector<int>>("times");
        QTest::addColumn<int>("sentCount");

        // One request per time; statuses are the library's answers to the requests that went out.
        QTest::newRow("twoUnreachableBlockTenSeconds") << QVector<int>{2, 2} << QVector<int>{0, 0, 1, 5000, 10000} << 2;
        QTest::newRow("askedAgainAfterTenSeconds") << QVector<int>{2, 2, 0} << QVector<int>{0, 0, 10001} << 3;
        QTest::newRow("blockedAgainAfterTwoMoreFailures")
            << QVector<int>{2, 2, 2, 2} << QVector<int>{0, 100, 10101, 10102, 15000, 20102, 20103} << 5;
        QTest::newRow("successResets") << QVector<int>{2, 0, 2, 0} << QVector<int>{0, 1, 2, 3} << 4;
        QTest::newRow("otherFailuresDoNotCount") << QVector<int>{1, 1, 1, 3} << QVector<int>{0, 1, 2, 3} << 4;
        QTest::newRow("oneUnreachableDoesNotBlock") << QVector<int>{2, 1, 2} << QVector<int>{0, 1, 2} << 3;
    }

    void backOff()
    {
        QFETCH(QVector<int>, statuses);
        QFETCH(QVector<int>, times);
        QFETCH(int, sentCount);

        auto [camera, fake] = makeCamera<NetCamera>();
        for (int status : statuses)
            fake->scripted.push_back({status, status == 0 ? R"({"get_image":{"code":0,"hue":1}})" : ""});
        for (int t : times) {
            fake->now = t;
            camera->onGetHueValue();
        }
        QCOMPARE(int(fake->sent.size()), sentCount);
    }

    void capabilities_data()
    {
        QTest::addColumn<QString>("range");
        QTest::addColumn<QVector<int>>("formats");
        QTest::addColumn<QStringList>("resolutions"); // of the first format, ascending

        QTest::newRow("onlyMjpeg") << R"({"mjpeg":{"wh":["1920*1080","1280*720"]}})" << QVector<int>{0}
                                   << QStringList{"1280x720", "1920x1080"};
        QTest::newRow("unknownKeysSkipped")
            << R"({"frame_rate":{"max":30},"h264":{"wh":["3840*2160"]},"mjpeg":{"wh":["640*480"]}})"
            << QVector<int>{0, 3} << QStringList{"640x480"};
        QTest::newRow("allFormats")
            << R"({"yuy2":{"wh":["640*480"]},"nv12":{"wh":["640*480"]},"h264":{"wh":["640*480"]},"mjpeg":{"wh":["640*480"]}})"
            << QVector<int>{0, 1, 2, 3} << QStringList{"640x480"};
        QTest::newRow("samePixelCountOnce")
            << R"({"mjpeg":{"wh":["1280*720","1440*640"]}})" << QVector<int>{0} << QStringList{"1280x720"};
        QTest::newRow("malformedTextsSkipped")
            << R"({"mjpeg":{"wh":["1920x1080","*720","0*0","800*600"]}})" << QVector<int>{0} << QStringList{"800x600"};
        QTest::newRow("noRange") << "" << QVector<int>{} << QStringList{};
    }

    void capabilities()
    {
        QFETCH(QString, range);
        QFETCH(QVector<int>, formats);
        QFETCH(QStringList, resolutions);

        auto [camera, fake] = makeCamera<NetCamera>();
        camera->info().formats = {2};
        camera->info().resolutions[2] = {CameraResolution()};
        fake->bodies["stream"] =
            range.isEmpty() ? json{{"fmt", "mjpeg"}} : json{{"range", json::parse(range.toStdString())}};
        camera->loadCaptureCapabilities();

        const CameraInfo info = camera->cameraInfo();
        QCOMPARE(info.formats, formats);
        QStringList texts;
        if (!formats.isEmpty()) {
            for (const CameraResolution &r : info.resolutions.value(formats.first()))
                texts << r.resolution;
        }
        QCOMPARE(texts, resolutions);
        QVERIFY(logged("getCameraVideoCapabilities, stream json="));
        if (range.isEmpty())
            QVERIFY(logged("getCameraVideoCapabilities failed, "));
    }

    void startFailures_data()
    {
        QTest::addColumn<int>("openStatus");
        QTest::addColumn<int>("bindStatus");
        QTest::addColumn<bool>("streamRefused");
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<QStringList>("decoderCalls");

        QTest::newRow("decoderNotCreated") << 1 << 0 << false << "Create decoder failed!" << QStringList{"open"};
        QTest::newRow("bindFails") << 0 << 6 << false << "Bind decoder failed!" << QStringList{"open", "bind", "close"};
        QTest::newRow("streamRefused") << 0 << 0 << true << "Set stream failed!"
                                       << QStringList{"open", "bind", "unbind", "close"};
    }

    void startFailures()
    {
        QFETCH(int, openStatus);
        QFETCH(int, bindStatus);
        QFETCH(bool, streamRefused);
        QFETCH(QString, logLine);
        QFETCH(QStringList, decoderCalls);

        auto [camera, fake] = makeCamera<NetCamera>();
        fake->openStatus = openStatus;
        fake->bindStatus = bindStatus;
        if (streamRefused)
            fake->scripted.push_back({0, R"({"set_stream":{"code":-1}})"});
        QSignalSpy changed(camera.get(), &BaseCamera::previewReslutionChanged);
        CameraCloseReason error = UserClosed;
        QVERIFY(!camera->start(streamInfo(1920, 1080, 0), error));
        QCOMPARE(error, OpenFailed);
        QVERIFY(logged(logLine));
        QStringList calls;
        for (const std::string &c : fake->decoderCalls)
            calls << QString::fromStdString(c);
        QCOMPARE(calls, decoderCalls);
        QCOMPARE(changed.count(), 0);
        // Nothing left bound: closing the camera touches no decoder.
        fake->decoderCalls.clear();
        camera->close();
        QVERIFY(fake->decoderCalls.empty());
    }

    void startAndChangeResolution_data()
    {
        QTest::addColumn<int>("startFormat");
        QTest::addColumn<int>("bitRate");
        QTest::addColumn<int>("sentBitRate");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("reopened");
        QTest::addColumn<int>("signalCount");

        // H.264 bit rates are capped at 30000, MJPEG ones are not.
        QTest::newRow("h264CappedFormatChangeReopensDecoder") << 3 << 86000 << 30000 << 0 << 1920 << true << 1;
        QTest::newRow("h264BelowCapSizeChangeKeepsDecoder") << 3 << 20000 << 20000 << 3 << 1280 << false << 1;
        QTest::newRow("mjpegSameSettings") << 0 << 86000 << 86000 << 0 << 1920 << false << 0;
    }

    void startAndChangeResolution()
    {
        QFETCH(int, startFormat);
        QFETCH(int, bitRate);
        QFETCH(int, sentBitRate);
        QFETCH(int, format);
        QFETCH(int, width);
        QFETCH(bool, reopened);
        QFETCH(int, signalCount);

        auto [camera, fake] = makeCamera<NetCamera>();
        QSignalSpy changed(camera.get(), &BaseCamera::previewReslutionChanged);
        CameraCloseReason error = UserClosed;
        QVERIFY(camera->start(streamInfo(1920, 1080, startFormat, bitRate), error));
        QCOMPARE(fake->decoderCalls, (std::vector<std::string>{"open", "bind"}));
        const json description = json::parse(fake->decoderDescription);
        QCOMPARE(str(description.at("md_fmt")), QString(startFormat == 3 ? "H264" : "MJPEG"));
        QCOMPARE(str(description.at("pix_fmt")), QStringLiteral("YUV420P_SEPARATE"));
        const auto started = fake->withCommand("set_stream");
        QCOMPARE(started.size(), size_t(1));
        const json &s = started.front();
        QCOMPARE(str(s.at("fmt")), QString(startFormat == 3 ? "h264" : "mjpeg"));
        QCOMPARE(str(s.at("wh")), QStringLiteral("1920*1080"));
        QCOMPARE(s.at("bitrate").get<int>(), sentBitRate);
        QCOMPARE(str(s.at("rc_mode")), QStringLiteral("cbr"));
        QCOMPARE(str(s.at("quality")), QStringLiteral("high"));
        QCOMPARE(s.at("frame_rate").get<int>(), 30);
        QCOMPARE(s.at("i_interval").get<int>(), 90);
        QCOMPARE(fake->sentLoginIds.back(), 7);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.takeFirst().first().toString(), QStringLiteral("1920x1080"));
        fake->decoderCalls.clear();
        fake->sent.clear();

        const int height = width == 1280 ? 720 : 1080;
        QVERIFY(camera->changeResolution(streamInfo(width, height, format), error));
        QCOMPARE(logged("Stream format changed!"), reopened);
        QCOMPARE(fake->decoderCalls,
                 reopened ? (std::vector<std::string>{"unbind", "close", "open", "bind"}) : std::vector<std::string>{});
        const auto streams = fake->withCommand("set_stream");
        QCOMPARE(streams.size(), size_t(1));
        QCOMPARE(QString::fromStdString(streams.front().at("wh")), QStringLiteral("%1*%2").arg(width).arg(height));
        QCOMPARE(changed.count(), signalCount);
    }

    void readFrame_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<int>("rotate");
        QTest::addColumn<QRect>("roi");
        QTest::addColumn<QSize>("delivered"); // empty: no frame

        QTest::newRow("streamSize") << 0 << QSize(640, 480) << 0 << QRect() << QSize(640, 480);
        QTest::newRow("staleSizeDropped") << 0 << QSize(320, 240) << 0 << QRect() << QSize();
        QTest::newRow("failedStatusWithBlock") << 7 << QSize(640, 480) << 0 << QRect() << QSize();
        QTest::newRow("rotated90") << 0 << QSize(640, 480) << 90 << QRect() << QSize(480, 640);
        QTest::newRow("rotated90CutsToMultipleOf8") << 0 << QSize(640, 482) << 90 << QRect() << QSize(480, 640);
        QTest::newRow("rotated180Uncut") << 0 << QSize(640, 482) << 180 << QRect() << QSize(640, 482);
        QTest::newRow("roi") << 0 << QSize(640, 480) << 0 << QRect(100, 50, 200, 100) << QSize(200, 100);
        QTest::newRow("roiRotated270Cut") << 0 << QSize(640, 480) << 270 << QRect(0, 0, 200, 102) << QSize(96, 200);
    }

    void readFrame()
    {
        QFETCH(int, status);
        QFETCH(QSize, picture);
        QFETCH(int, rotate);
        QFETCH(QRect, roi);
        QFETCH(QSize, delivered);

        auto [camera, fake] = makeCamera<NetCamera>();
        CameraCloseReason error = UserClosed;
        const QSize stream = picture.height() == 482 ? QSize(640, 482) : QSize(640, 480);
        QVERIFY(camera->start(streamInfo(stream.width(), stream.height(), 0), error));
        camera->onSetVideoRotate(rotate);
        if (roi.isValid()) {
            // The ROI is given in the picture as shown; at 270 degrees that is the turned picture.
            camera->onSetRoiRegion(region(roi), region(roi));
            QVERIFY(camera->roiRegion().enable);
        }

        Picture p(picture.width(), picture.height());
        fake->pictures = {{status, &p}, {L_SDK_ERR_NO_DATA, nullptr}};
        const VideoFrame frame = camera->readFrame();
        const VideoFrame none = camera->readFrame();
        QCOMPARE(frame.isNull(), delivered.isEmpty());
        if (!delivered.isEmpty())
            QCOMPARE(QSize(frame.width(), frame.height()), delivered);
        QVERIFY(none.isNull());
        QCOMPARE(fake->freed, fake->handedOut);
        QCOMPARE(fake->handedOut, 1);
    }

    // The whole group goes out from the cache; a camera without focus motor is told so with -1.
    // (The focus modes themselves travel in the stream test's route rows.)
    void imageGroupFromCache()
    {
        auto [camera, fake] = makeCamera<NetCamera>();
        CameraInfo &i = camera->info();
        i.expComp.value = 11;
        i.contrast.value = 12;
        i.saturation.value = 13;
        i.hue.value = 14;
        i.focusModeSupported = false;
        i.focus.value = 15;
        i.opticalZoom.value = 16;
        i.sharpness.value = 17;
        QSignalSpy hue(camera.get(), &BaseCamera::sendHueValue);

        camera->onSetHueValue(14); // the cached value: nothing goes out
        QVERIFY(fake->sent.empty());
        camera->onSetHueValue(40);
        QCOMPARE(fake->sent.size(), size_t(1));
        const json expected{{"cmd", "set_image"}, {"chnn", 0},      {"bright", 11},     {"contrast", 12},
                            {"saturation", 13},   {"hue", 40},      {"focus_mode", -1}, {"focus_value", 15},
                            {"ezoom_value", 16},  {"sharpness", 17}};
        QCOMPARE(QString::fromStdString(fake->sent.front().dump()), QString::fromStdString(expected.dump()));
        QVERIFY(logged("onSetHueValue: 40"));
        QCOMPARE(hue.count(), 1);
    }

    void modeRules_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<bool>("manual"); // exposure, white balance and focus modes
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<QString>("command"); // empty: nothing sent
        QTest::addColumn<QString>("field");

        const auto row = [](const char *name, int slot, bool manual, const char *logLine, const char *command = "",
                            const char *field = "") {
            QTest::newRow(name) << slot << manual << logLine << command << field;
        };
        // Slots: exposure time, gain, compensation, red, green, blue, focus value, one-shot focus.
        row("expTimeInAuto", 0, false, "Exposure time can only be modified in manual mode!");
        row("expGainInAuto", 1, false, "Exposure gain can only be modified in manual mode!");
        row("brightInManual", 2, true, "Bright can only be modified in auto mode!");
        row("redInAuto", 3, false, "Red can only be modified in manual mode!");
        row("greenInAuto", 4, false, "Green can only be modified in manual mode!");
        row("blueInAuto", 5, false, "Bule can only be modified in manual mode!");
        row("focusValueInAuto", 6, false, "Net camera, current mode can not change focus value.");
        row("focusOnceInAuto", 7, false, "Net camera, current mode can not trigger once focus.");
        row("expTimeInManual", 0, true, "onSetExpTime: 5", "set_img_meexposure", "shuttertime");
        row("expGainInManual", 1, true, "onSetExpGainValue: 5", "set_img_meexposure", "a_gain");
        row("brightInAuto", 2, false, "onSetExpCompValue: 5", "set_image", "bright");
        row("redInManual", 3, true, "onSetWbRedValue: 5", "set_img_awb", "r");
        row("focusValueInManual", 6, true, "onSetFocusValue: 5", "set_image", "focus_value");
        row("focusOnceInManual", 7, true, "onSetFocusOnce", "set_image");
    }

    void modeRules()
    {
        QFETCH(int, slot);
        QFETCH(bool, manual);
        QFETCH(QString, logLine);
        QFETCH(QString, command);
        QFETCH(QString, field);

        auto [camera, fake] = makeCamera<NetCamera>();
        CameraInfo &i = camera->info();
        i.expMode = manual ? ExposureManual : ExposureAuto;
        i.wbMode = manual ? WbManual : WbAuto;
        i.focusMode = manual ? FocusManual : FocusAuto;
        i.focusModeSupported = true;

        const std::function<void(NetCamera &)> calls[] = {
            [](NetCamera &c) { c.onSetExpTime(5); },      [](NetCamera &c) { c.onSetExpGainValue(5); },
            [](NetCamera &c) { c.onSetExpCompValue(5); }, [](NetCamera &c) { c.onSetWbRedValue(5); },
            [](NetCamera &c) { c.onSetWbGreenValue(5); }, [](NetCamera &c) { c.onSetWbBlueValue(5); },
            [](NetCamera &c) { c.onSetFocusValue(5); },   [](NetCamera &c) { c.onSetFocusOnce(); }};
        calls[slot](*camera);
        QVERIFY2(logged(logLine), qPrintable(g_log.join('\n')));
        if (command.isEmpty()) {
            QVERIFY(fake->sent.empty());
            return;
        }
        QCOMPARE(fake->sent.size(), size_t(1));
        const json &r = fake->sent.front();
        QCOMPARE(QString::fromStdString(r.at("cmd")), command);
        if (!field.isEmpty())
            QCOMPARE(r.at(field.toStdString()).get<int>(), 5);
        if (slot == 7) {
            // One-shot focus goes out as mode 2; the cached mode stays manual.
            QCOMPARE(r.at("focus_mode").get<int>(), 2);
            QCOMPARE(camera->cameraInfo().focusMode, FocusManual);
        }
    }

    void focusRegionToSensor_data()
    {
        QTest::addColumn<int>("rotate");
        QTest::addColumn<QRect>("roi");
        QTest::addColumn<QRect>("sensor");

        // A 1920 x 1080 stream; the region (100, 200, 300 x 400) drawn on the picture as shown.
        QTest::newRow("unrotated") << 0 << QRect() << QRect(100, 200, 300, 400);
        QTest::newRow("rotated90") << 90 << QRect() << QRect(200, 680, 400, 300);
        QTest::newRow("rotated180") << 180 << QRect() << QRect(1520, 480, 300, 400);
        QTest::newRow("rotated270") << 270 << QRect() << QRect(1320, 100, 400, 300);
        QTest::newRow("insideRoi") << 0 << QRect(40, 30, 800, 600) << QRect(140, 230, 300, 400);
    }

    void focusRegionToSensor()
    {
        QFETCH(int, rotate);
        QFETCH(QRect, roi);
        QFETCH(QRect, sensor);

        auto [camera, fake] = makeCamera<NetCamera>();
        CameraCloseReason error = UserClosed;
        QVERIFY(camera->start(streamInfo(1920, 1080, 0), error));
        if (roi.isValid())
            camera->onSetRoiRegion(region(roi), region(roi));
        camera->onSetVideoRotate(rotate);
        fake->sent.clear();
        camera->onSetFocusRegionV2(region(QRect(100, 200, 300, 400)));

        const auto sets = fake->withCommand("set_focus_region");
        QCOMPARE(sets.size(), size_t(1));
        const json &r = sets.front();
        QCOMPARE(r.at("roi").get<int>(), 1);
        QCOMPARE(QRect(r.at("roi_x").get<int>(), r.at("roi_y").get<int>(), r.at("roi_width").get<int>(),
                       r.at("roi_height").get<int>()),
                 sensor);
        QVERIFY(logged("onSetFocusRegionV2 (Rotated): enable="));
        QVERIFY(logged("Net setFocusRegionV2: enable="));

        // Read back, the camera's region is shown where it was drawn.
        fake->bodies["get_focus_region"] = {{"roi", 1},
                                            {"roi_x", sensor.x()},
                                            {"roi_y", sensor.y()},
                                            {"roi_width", sensor.width()},
                                            {"roi_height", sensor.height()}};
        QSignalSpy shown(camera.get(), &BaseCamera::sendFocusRegionV2);
        camera->onGetFocusRegionV2();
        QCOMPARE(shown.count(), 1);
        const QList<QVariant> args = shown.first();
        QCOMPARE(QRect(args[1].toInt(), args[2].toInt(), args[3].toInt(), args[4].toInt()), QRect(100, 200, 300, 400));
    }

    void upgradeRequest_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("sent");

        QTest::newRow("quoteAndBackslash") << R"(/tmp/fw "new"\dir/CM_cm14_"v2"\b.update)" << true;
        QTest::newRow("injectionAttempt") << R"(/tmp/cm14","ip":"10.0.0.1.lpk)" << true;
        QTest::newRow("lpkAccepted") << "/tmp/cm14_v2.lpk" << true;
        QTest::newRow("otherModel") << "/tmp/cm13_v2.update" << false;
        QTest::newRow("wrongExtension") << "/tmp/cm14_v2.bin" << false;
        QTest::newRow("keyOnlyInFolder") << "/tmp/cm14/v2.update" << false;
    }

    void upgradeRequest()
    {
        QFETCH(QString, path);
        QFETCH(bool, sent);

        auto [camera, fake] = makeCamera<NetCamera>();
        camera->onUpgrade(path);
        QVERIFY(logged("onUpgrade. FilePath=" + path));
        if (!sent) {
            QVERIFY(fake->sent.empty());
            QVERIFY(logged("Invalid upgrade file name!"));
            return;
        }
        QCOMPARE(fake->sentTexts.size(), size_t(1));
        const json request = json::parse(fake->sentTexts.front()); // throws on a broken text
        QCOMPARE(keysOf(request), (std::set<std::string>{"cmd", "ip", "port", "path", "upgrade"}));
        QCOMPARE(str(request.at("cmd")), QStringLiteral("upgrade"));
        QCOMPARE(QString::fromStdString(request.at("path")), path);
        QCOMPARE(str(request.at("ip")), QStringLiteral("127.0.0.2"));
        QCOMPARE(request.at("port").get<int>(), 80);
        QCOMPARE(str(request.at("upgrade")), str(json{{"username", "opusr"}, {"passwd", "580264"}}));
        QCOMPARE(fake->sentLoginIds.front(), 0);
    }

    void newNetGroups_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("field");

        const QStringList imageValue{"cmd", "chnn", "contrast", "saturation", "hue", "sharpness", "gamma", "drc"};
        const QStringList imageBool{"cmd", "chnn", "mirror", "flip", "flick", "cac", "monochrome"};
        QTest::newRow("hue") << 0 << "set_image_value" << imageValue << "hue";
        QTest::newRow("gamma") << 1 << "set_image_value" << imageValue << "gamma";
        QTest::newRow("contrast") << 10 << "set_image_value" << imageValue << "contrast";
        QTest::newRow("saturation") << 11 << "set_image_value" << imageValue << "saturation";
        QTest::newRow("mirror") << 2 << "set_image_bool" << imageBool << "mirror";
        QTest::newRow("flip") << 12 << "set_image_bool" << imageBool << "flip";
        QTest::newRow("monochrome") << 3 << "set_image_bool" << imageBool << "monochrome";
        QTest::newRow("expComp") << 4 << "set_exposure"
                                 << QStringList{"cmd", "chnn", "expo_type", "compensation", "shuttertime", "a_gain"}
                                 << "compensation";
        QTest::newRow("focusValue") << 5 << "set_focus"
                                    << QStringList{"cmd", "chnn", "focus_mode", "focus_value", "focus_speed"}
                                    << "focus_value";
        QTest::newRow("digitalZoom") << 6 << "set_zoom" << QStringList{"cmd",         "chnn",        "ezoom_value",
                                                                       "dzoom_value", "ezoom_speed", "ezoom_mode"}
                                     << "dzoom_value";
        QTest::newRow("wbRed") << 7 << "set_white_balance" << QStringList{"cmd", "chnn", "awb", "r", "gr", "gb"} << "r";
        QTest::newRow("focusAdd") << 8 << "set_focus_relative" << QStringList{"cmd", "relative"} << "relative";
        QTest::newRow("led") << 9 << "set_led" << QStringList{"cmd", "chnn", "index", "level"} << "";
    }

    void newNetGroups()
    {
        QFETCH(int, slot);
        QFETCH(QString, command);
        QFETCH(QStringList, keys);
        QFETCH(QString, field);

        auto [camera, fake] = makeCamera<NewNetCamera>();
        CameraInfo &i = camera->info();
        i.expMode = ExposureAuto;
        i.wbMode = WbManual;
        i.focusMode = FocusManual;
        i.focusModeSupported = true;
        i.contrast.value = 21;
        i.saturation.value = 22;
        i.hue.value = 23;
        i.sharpness.value = 24;
        i.gamma.value = 25;
        i.drc.value = 26;
        i.cac = true;
        i.wbGreen.value = 27;
        i.wbBlue.value = 28;

        const std::function<void(NewNetCamera &)> calls[] = {
            [](NewNetCamera &c) { c.onSetHueValue(1); },        [](NewNetCamera &c) { c.onSetGammaValue(1); },
            [](NewNetCamera &c) { c.onSetMirrorStatus(true); }, [](NewNetCamera &c) { c.onSetMonoChromeStatus(true); },
            [](NewNetCamera &c) { c.onSetExpCompValue(1); },    [](NewNetCamera &c) { c.onSetFocusValue(1); },
            [](NewNetCamera &c) { c.onSetDZoomValue(1); },      [](NewNetCamera &c) { c.onSetWbRedValue(1); },
            [](NewNetCamera &c) { c.onSetFocusAdd(); },         [](NewNetCamera &c) { c.onSetLed(2, 60); },
            [](NewNetCamera &c) { c.onSetContrastValue(1); },   [](NewNetCamera &c) { c.onSetSaturationValue(1); },
            [](NewNetCamera &c) { c.onSetFlipStatus(true); }};
        calls[slot](*camera);
        QCOMPARE(fake->sent.size(), size_t(1));
        const json &r = fake->sent.front();
        QCOMPARE(QString::fromStdString(r.at("cmd")), command);
        std::set<std::string> expectedKeys;
        for (const QString &k : keys)
            expectedKeys.insert(k.toStdString());
        QCOMPARE(keysOf(r), expectedKeys);
        if (!field.isEmpty())
            QCOMPARE(r.at(field.toStdString()).get<int>(), 1);
        // The rest of each group comes from the cache.
        if (command == "set_image_value" && field != "hue")
            QCOMPARE(r.at("hue").get<int>(), 23);
        if (command == "set_image_value")
            QCOMPARE(r.at("drc").get<int>(), 26);
        if (command == "set_image_bool")
            QCOMPARE(r.at("cac").get<int>(), 1);
        if (command == "set_white_balance") {
            QCOMPARE(str(r.at("awb")), QStringLiteral("manual"));
            QCOMPARE(r.at("gr").get<int>(), 27);
            QCOMPARE(r.at("gb").get<int>(), 28);
        }
        if (command == "set_focus")
            QCOMPARE(r.at("focus_mode").get<int>(), 1);
        if (command == "set_led") {
            QCOMPARE(r.at("index").get<int>(), 2);
            QCOMPARE(r.at("level").get<int>(), 60);
        }
    }

    void readsEachGetCommandOnce_data()
    {
        QTest::addColumn<bool>("newCommands");
        QTest::addColumn<QStringList>("getCommands");

        QTest::newRow("netCamera") << false
                                   << QStringList{"get_image",       "img_meexposure", "img_awb",       "info_img_awb",
                                                  "img_mirror_flip", "img_flick_hz",   "img_hdr_gamma", "motor_demist"};
        QTest::newRow("newNetCamera") << true << QStringList{"get_image_value", "get_focus",         "get_zoom",
                                                             "get_exposure",    "get_white_balance", "get_image_bool",
                                                             "get_motor_demist"};
    }

    void readsEachGetCommandOnce()
    {
        QFETCH(bool, newCommands);
        QFETCH(QStringList, getCommands);

        FakeRequester *fake = nullptr;
        std::unique_ptr<NetCamera> camera;
        if (newCommands)
            std::tie(camera, fake) = makeCamera<NewNetCamera>();
        else
            std::tie(camera, fake) = makeCamera<NetCamera>();
        fake->bodies["system"] = {{"sw_ver", "5.4.6"}, {"model_suffix", "A"}, {"wifi", 1}, {"hw_ver", "1.0"}};
        // Green is "gr" to the newer commands and "gb" to the older; gamma "gamma" and "level".
        const json values{{"hue", 31},       {"contrast", 32}, {"saturation", 33}, {"focus_mode", 1},  {"expo_type", 1},
                          {"awb", "manual"}, {"r", 34},        {"gr", 35},         {"gb", 35},         {"mirror", true},
                          {"flip", true},    {"gamma", 44},    {"level", 44},      {"shuttertime", 36}};
        for (const QString &c : getCommands)
            fake->bodies[c.toStdString()] = values;

        CameraInfo info;
        QVERIFY(camera->initCameraInfo(info));
        std::map<std::string, int> counts;
        for (const json &r : fake->sent)
            ++counts[r.at("cmd")];
        for (const QString &c : getCommands)
            QVERIFY2(counts[c.toStdString()] == 1, qPrintable(c));
        QCOMPARE(info.hue.value, 31);
        QCOMPARE(info.contrast.value, 32);
        QCOMPARE(info.saturation.value, 33);
        QCOMPARE(info.wbRed.value, 34);
        QCOMPARE(info.expTime.value, 36);
        QCOMPARE(info.flip, true);
        QCOMPARE(info.focusMode, FocusManual);
        QCOMPARE(info.expMode, ExposureManual);
        QCOMPARE(info.wbMode, WbManual);
        QCOMPARE(info.wbGreen.value, 35);
        QCOMPARE(info.mirror, true);
        QCOMPARE(info.gamma.value, 44);
        QCOMPARE(info.version, 546);
        QCOMPARE(info.modelSuffix, QStringLiteral("A"));
        QVERIFY(camera->isNewSoftware());
        QVERIFY(logged("Net software version=5.4.6"));
    }

    void wirelessSettingsGoBack()
    {
        auto [camera, fake] = makeCamera<NewNetCamera>();
        fake->bodies["get_ipv4"] = {{"dhcp", 0}, {"ip", "127.0.0.2"}, {"dns1", "127.0.0.53"}, {"dns2", ""}};
        fake->bodies["get_wireless_ipv4"] = {{"dhcp", 1}, {"ip", "127.0.0.3"}};
        fake->bodies["get_wireless"] = {{"passwd", "x\"y"}, {"sta_passwd", "q"}, {"unknown", "no"}};
        QSignalSpy infos(camera.get(), &BaseCamera::sendIpInfo);
        camera->onGetIpInfo();
        QCOMPARE(infos.count(), 2);
        QCOMPARE(qvariant_cast<IpInfo>(infos.at(1).first()).address, QStringLiteral("127.0.0.3"));

        fake->sent.clear();
        IpInfo wireless;
        wireless.wireless = true;
        wireless.dhcp = false;
        wireless.address = QStringLiteral("127.0.0.4");
        wireless.dns = QStringLiteral("127.0.0.53, 127.0.0.54");
        camera->onSetIp(wireless);
        QCOMPARE(fake->sent.size(), size_t(2));
        const json &address = fake->sent.at(0);
        QCOMPARE(str(address.at("cmd")), QStringLiteral("set_wireless_ipv4"));
        QCOMPARE(str(address.at("ip")), QStringLiteral("127.0.0.4"));
        QCOMPARE(str(address.at("dns1")), QStringLiteral("127.0.0.53"));
        QCOMPARE(str(address.at("dns2")), QStringLiteral("127.0.0.54"));
        const json &settings = fake->sent.at(1);
        QCOMPARE(str(settings.at("cmd")), QStringLiteral("set_wireless"));
        QCOMPARE(str(settings.at("passwd")), QStringLiteral("x\"y"));
        QCOMPARE(str(settings.at("sta_passwd")), QStringLiteral("q"));
        QVERIFY(!settings.contains("unknown"));
        QVERIFY(logged("onSetWirelessIp, wirelessDhcp="));
    }

    void displayModeOfCm14()
    {
        auto [camera, fake] = makeCamera<Cm14NetCamera>();
        QSignalSpy modes(camera.get(), &BaseCamera::sendDisplayModeValue);
        fake->sent.clear();
        camera->onSetCameraDisplayMode(DisplayModeBiology);
        QCOMPARE(fake->sent.size(), size_t(1));
        QCOMPARE(fake->sent.back(), (json{{"cmd", "set_img_mode"}, {"chnn", 0}, {"mode", 1}}));
        QCOMPARE(modes.count(), 1);
        camera->onSetCameraDisplayMode(DisplayModeBiology); // unchanged: nothing sent
        QCOMPARE(fake->sent.size(), size_t(1));

        fake->bodies["img_mode"] = json{{"mode", 2}};
        camera->onGetCameraDisplayMode();
        QCOMPARE(fake->sent.back().at("cmd"), "img_mode");
        QCOMPARE(modes.count(), 2);
        QCOMPARE(modes.last().first().value<DisplayMode>(), DisplayModeIndustry);

        // A refused change leaves the cached mode, so that trying again sends again.
        fake->scripted.push_back({L_SDK_OK, R"({"set_img_mode": {"code": 1}})"});
        camera->onSetCameraDisplayMode(DisplayModeDefault);
        QCOMPARE(camera->info().displayMode, DisplayModeIndustry);
    }

    void focusStepsOfCm21_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("expected"); // -1: nothing sent
        QTest::newRow("add") << 500 << 1 << 510;
        QTest::newRow("sub") << 500 << -1 << 490;
        QTest::newRow("add at the top stays") << 1000 << 1 << -1;
        QTest::newRow("sub clamps at the bottom") << 4 << -1 << 0;
    }

    void focusStepsOfCm21()
    {
        QFETCH(int, start);
        QFETCH(int, direction);
        QFETCH(int, expected);
        auto [camera, fake] = makeCamera<Cm21NetCamera>();
        CameraInfo &i = camera->info();
        i.focus = CameraRange{start, 0, 1000, 500, true};
        i.focusMode = FocusManual;
        fake->sent.clear();
        if (direction > 0)
            camera->onSetFocusAdd();
        else
            camera->onSetFocusSub();
        if (expected < 0) {
            QVERIFY(fake->sent.empty());
            return;
        }
        QCOMPARE(fake->sent.size(), size_t(1));
        QCOMPARE(fake->sent.back().at("cmd"), "set_image");
        QCOMPARE(fake->sent.back().at("focus_value"), expected);
        QCOMPARE(i.focus.value, expected);

        // Outside manual focus the step is refused like the position itself.
        i.focusMode = FocusAuto;
        fake->sent.clear();
        camera->onSetFocusAdd();
        QVERIFY(fake->sent.empty());
    }

private:
    int32_t m_firstDecoderId = 0;
};

QTEST_GUILESS_MAIN(TestNetCamera)
#include "tst_netcamera.moc"
