// netcam-sim run as a process on a loopback address and spoken to with raw sockets, the way
// the network camera library speaks to a camera.
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QProcess>

#include "commandtable.h"
#include "simprocess.h"
#include <QRegularExpression>
#include <QTcpSocket>
#include <QUdpSocket>
#include <QtEndian>
#include <QtTest>

#include <memory>

namespace {

const char kAddress[] = "127.0.0.2";
const int kWaitMs = 10000;
const int kAnyError = 1; // expected code: any non-zero one

QJsonObject loginRequest(const QString &user, const QString &password)
{
    return QJsonObject{{"cmd", "login"},
                       {"ip", kAddress},
                       {"port", 80},
                       {"login", QJsonObject{{"username", user}, {"passwd", password}}}};
}

// One command or video connection with the protocol's framing.
class Connection
{
public:
    bool open(quint16 port)
    {
        m_socket.connectToHost(QHostAddress(kAddress), port);
        return m_socket.waitForConnected(kWaitMs);
    }

    void sendRaw(const QByteArray &payload)
    {
        char size[4];
        qToBigEndian<quint32>(quint32(payload.size()), size);
        m_socket.write(size, 4);
        m_socket.write(payload);
        m_socket.flush();
    }

    // The next message, or an empty one when none came in time or the connection closed.
    QByteArray read()
    {
        QElapsedTimer clock;
        clock.start();
        while (true) {
            if (m_buffer.size() >= 4) {
                const quint32 size = qFromBigEndian<quint32>(m_buffer.constData());
                if (quint32(m_buffer.size()) >= 4 + size) {
                    const QByteArray message = m_buffer.mid(4, int(size));
                    m_buffer.remove(0, int(4 + size));
                    return message;
                }
            }
            if (clock.elapsed() > kWaitMs || m_socket.state() != QAbstractSocket::ConnectedState)
                return {};
            if (m_socket.bytesAvailable() == 0)
                m_socket.waitForReadyRead(200);
            m_buffer += m_socket.readAll();
        }
    }

    QJsonObject request(const QJsonObject &request)
    {
        sendRaw(QJsonDocument(request).toJson(QJsonDocument::Compact));
        return QJsonDocument::fromJson(read()).object();
    }

    bool openLoggedIn(quint16 port)
    {
        return open(port) && request(loginRequest("opusr", "580264"))["login"].toObject()["code"] == 0;
    }

    // The answer member of a read command, and the code a setting command is answered with.
    QJsonObject get(const QString &cmd) { return request({{"cmd", cmd}, {"chnn", 0}, {"idx", 0}})[cmd].toObject(); }
    int set(const QJsonObject &r) { return request(r)[r["cmd"].toString()].toObject()["code"].toInt(-100); }

    // True when the peer closes the connection within the wait.
    bool waitForClose()
    {
        if (m_socket.state() == QAbstractSocket::UnconnectedState)
            return true;
        m_socket.waitForDisconnected(kWaitMs);
        return m_socket.state() == QAbstractSocket::UnconnectedState;
    }

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
};

// The fields of a video message's header.
struct VideoHeader
{
    int codec = 0;
    int flags = 0;
    quint32 width = 0, height = 0, sequence = 0;
    qint64 sendTimeUs = 0;
};

VideoHeader parseHeader(const QByteArray &message)
{
    VideoHeader h;
    if (message.size() < 32)
        return h;
    const char *p = message.constData();
    h.codec = quint8(p[4]);
    h.flags = quint8(p[5]);
    h.width = qFromBigEndian<quint32>(p + 8);
    h.height = qFromBigEndian<quint32>(p + 12);
    h.sequence = qFromBigEndian<quint32>(p + 16);
    h.sendTimeUs = qint64(qFromBigEndian<quint64>(p + 20));
    return h;
}

// Asks for the camera at the discovery port.
QJsonObject discover(quint16 port)
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    socket.writeDatagram(R"({"cmd":"discover"})", QHostAddress(kAddress), port);
    if (!socket.waitForReadyRead(kWaitMs))
        return {};
    return QJsonDocument::fromJson(socket.receiveDatagram().data()).object();
}

} // namespace

class TestNetcamSim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(m_new.start(kAddress, "CM14_IPC", {"--new-commands", "--sw-ver", "6.1.0", "--hw-ver", "2.3"}),
                 qPrintable(m_new.error()));
        QVERIFY2(m_old.start(kAddress, "CM14_IPC"), qPrintable(m_old.error()));
    }

    void cleanupTestCase()
    {
        m_new.stop();
        m_old.stop();
        // Asked to quit, the camera ends cleanly.
        QCOMPARE(m_old.process()->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_old.process()->exitCode(), 0);
    }

    void refusesBadArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("notLoopback") << QStringList{"--address", "192.168.1.20", "--model", "CM14_IPC"};
        QTest::newRow("notAnAddress") << QStringList{"--address", "127.0.0", "--model", "CM14_IPC"};
        QTest::newRow("noModel") << QStringList{"--address", kAddress};
        QTest::newRow("unknownPreset") << QStringList{"--address", kAddress, "--preset", "cm99"};
        QTest::newRow("unknownSpecimen") << QStringList{"--address", kAddress,     "--model",
                                                        "CM14_IPC",  "--specimen", "rocks"};
        QTest::newRow("portTooLarge") << QStringList{"--address", kAddress,         "--model",
                                                     "CM14_IPC",  "--command-port", "70000"};
    }

    void refusesBadArguments()
    {
        QFETCH(QStringList, arguments);
        QProcess process;
        process.start(NETCAM_SIM_PROGRAM, arguments);
        QVERIFY(process.waitForFinished(kWaitMs));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QVERIFY(process.exitCode() != 0);
        QVERIFY(process.readAllStandardOutput().isEmpty());
    }

    void discovery_data()
    {
        QTest::addColumn<bool>("newFirmware");
        QTest::addColumn<QString>("swVersion");
        QTest::addColumn<QString>("hwVersion");
        QTest::newRow("defaults") << false << QString("5.4.5") << QString("1.0");
        QTest::newRow("versionsGiven") << true << QString("6.1.0") << QString("2.3");
    }

    void discovery()
    {
        QFETCH(bool, newFirmware);
        QFETCH(QString, swVersion);
        QFETCH(QString, hwVersion);
        // Sender, address, model and command port are what the stream test's discovery and logins use.
        const QJsonObject discover = ::discover(sim(newFirmware).discoveryPort())["discover"].toObject();
        QCOMPARE(discover["sw_ver"].toString(), swVersion);
        QCOMPARE(discover["hw_ver"].toString(), hwVersion);
        QCOMPARE(discover["mac"].toString(), QString("02:00:7f:00:00:02"));
    }

    void login_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QString>("member");
        QTest::addColumn<bool>("accepted");
        const auto login = [](const char *user, const char *password) {
            return QJsonDocument(loginRequest(user, password)).toJson(QJsonDocument::Compact);
        };
        QTest::newRow("good") << login("opusr", "580264") << "login" << true;
        QTest::newRow("noCredentials") << QByteArray(R"({"cmd":"login","ip":"127.0.0.2","port":80})") << "login"
                                       << false;
        QTest::newRow("commandFirst") << QByteArray(R"({"cmd":"system"})") << "system" << false;
    }

    void login()
    {
        QFETCH(QByteArray, first);
        QFETCH(QString, member);
        QFETCH(bool, accepted);
        Connection c;
        QVERIFY(c.open(m_old.commandPort()));
        c.sendRaw(first);
        const QJsonObject answer = QJsonDocument::fromJson(c.read()).object();
        QVERIFY(answer[member].toObject().contains("code"));
        const int code = answer[member].toObject()["code"].toInt();
        if (!accepted) {
            QVERIFY(code != 0);
            QVERIFY(c.waitForClose());
            return;
        }
        QCOMPARE(code, 0);
        const QJsonObject system = c.request({{"cmd", "system"}})["system"].toObject();
        QCOMPARE(system["code"].toInt(), 0);
        QCOMPARE(system["model"].toString(), QString("CM14_IPC"));
        QCOMPARE(system["sw_ver"].toString(), QString("5.4.5"));
    }

    void everySetShowsInEveryGet()
    {
        // A camera of its own: the values end at the ends of their ranges.
        SimProcess sim(NETCAM_SIM_PROGRAM);
        QVERIFY2(sim.start(kAddress, "CM14_IPC", {"--new-commands"}), qPrintable(sim.error()));
        Connection c;
        QVERIFY(c.openLoggedIn(sim.commandPort()));
        for (const CommandDef &set : commandDefs()) {
            if (set.kind != CommandKind::Set)
                continue;
            QJsonObject request{{"cmd", set.name}, {"chnn", 0}};
            QMap<QString, QJsonValue> sent; // by value key
            for (const FieldMap &field : commandFields(set)) {
                const ParamDef &p = *field.param;
                QJsonValue value = p.def != p.min ? p.min : p.max;
                if (p.isText())
                    value = p.choices ? QString::fromLatin1(p.choices).split('|').last() : QStringLiteral("x");
                request.insert(field.wire, value);
                sent.insert(QLatin1String(p.key), value);
            }
            QCOMPARE(c.set(request), 0);
            // Whichever command and field name reads a value back, it is the one just set.
            for (const CommandDef &get : commandDefs()) {
                if (get.kind != CommandKind::Get)
                    continue;
                const QJsonObject answer = c.get(get.name);
                for (const FieldMap &field : commandFields(get)) {
                    const QString key = QLatin1String(field.param->key);
                    QVERIFY2(!sent.contains(key) || answer[field.wire] == sent.value(key),
                             qPrintable(QStringLiteral("%1 then %2.%3").arg(set.name, get.name, field.wire)));
                }
            }
        }
        sim.stop();
    }

    void roundTrips_data()
    {
        QTest::addColumn<bool>("newFirmware");
        QTest::addColumn<QJsonObject>("set");
        QTest::addColumn<QString>("get");
        QTest::addColumn<QJsonObject>("expected"); // fields of the get answer

        // What the command table does not say: the wire names across the sets, the camera's own
        // address and the lights.
        QTest::newRow("wiredAddress") << false << QJsonObject{{"cmd", "set_ipv4"},
                                                              {"chnn", 0},
                                                              {"dhcp", 0},
                                                              {"ip", "127.0.0.9"},
                                                              {"gateway", "127.0.0.1"},
                                                              {"netmask", "255.0.0.0"}}
                                      << "ipv4" << QJsonObject{{"ip", "127.0.0.9"}, {"mac", "02:00:7f:00:00:02"}};
        // Green is "gr" to the newer firmware and "gb" to the older one; blue "gb" and "b".
        QTest::newRow("gainNamesAcrossSets")
            << true << QJsonObject{{"cmd", "set_white_balance"}, {"chnn", 0}, {"r", 140}, {"gr", 120}, {"gb", 110}}
            << "info_img_awb" << QJsonObject{{"r", 140}, {"gb", 120}, {"b", 110}};
        const auto leds = [](int level2) {
            QJsonArray info{QJsonObject{{"index", 0}, {"level", 0}, {"enable", 0}}};
            for (int i = 1; i < 4; ++i)
                info.append(QJsonObject{{"index", i}, {"level", i == 2 ? level2 : 10 * i}, {"enable", 1}});
            return QJsonObject{{"led_info", info}};
        };
        QTest::newRow("leds") << true << QJsonObject{{"cmd", "set_leds"}, {"chnn", 0},  {"led0", 0},
                                                     {"led1", 10},        {"led2", 20}, {"led3", 30}}
                              << "get_led" << leds(20);
        QTest::newRow("oneLed") << true << QJsonObject{{"cmd", "set_led"}, {"chnn", 0}, {"index", 2}, {"level", 90}}
                                << "get_led" << leds(90);
        QTest::newRow("stream") << true << QJsonObject{{"cmd", "set_stream"}, {"chnn", 0},        {"idx", 0},
                                                       {"fmt", "h264"},       {"rc_mode", "cbr"}, {"wh", "640*480"},
                                                       {"quality", "high"},   {"frame_rate", 15}, {"bitrate", 4000},
                                                       {"i_interval", 30}}
                                << "get_stream"
                                << QJsonObject{{"fmt", "h264"},   {"wh", "640*480"},  {"frame_rate", 15},
                                               {"bitrate", 4000}, {"i_interval", 30}, {"rc_mode", "cbr"}};
    }

    void roundTrips()
    {
        QFETCH(bool, newFirmware);
        QFETCH(QJsonObject, set);
        QFETCH(QString, get);
        QFETCH(QJsonObject, expected);
        Connection c;
        QVERIFY(c.openLoggedIn(sim(newFirmware).commandPort()));
        QCOMPARE(c.set(set), 0);
        const QJsonObject answer = c.get(get);
        QCOMPARE(answer["code"].toInt(-100), 0);
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QVERIFY2(answer[it.key()] == it.value(),
                     qPrintable(QString("%1: %2").arg(
                         it.key(), QString::fromUtf8(QJsonDocument(answer).toJson(QJsonDocument::Compact)))));
    }

    void refusals_data()
    {
        QTest::addColumn<bool>("newFirmware");
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("member");
        QTest::addColumn<int>("code");

        QTest::newRow("unknownCommand") << false << QByteArray(R"({"cmd":"make_coffee","chnn":0})") << "make_coffee"
                                        << -1;
        QTest::newRow("groupedOnOldFirmware")
            << false << QByteArray(R"({"cmd":"get_image_bool","chnn":0,"idx":0})") << "get_image_bool" << -1;
        QTest::newRow("malformedJson") << false << QByteArray(R"({"cmd":"system")") << "error" << -2;
        QTest::newRow("notAnObject") << true << QByteArray(R"(["system"])") << "error" << -2;
        QTest::newRow("noCommandName") << true << QByteArray(R"({"chnn":0})") << "error" << -2;
        QTest::newRow("streamSizeNotOffered")
            << true << QByteArray(R"({"cmd":"set_stream","chnn":0,"idx":0,"fmt":"mjpeg","wh":"1000*1000"})")
            << "set_stream" << kAnyError;
        QTest::newRow("streamFormatUnknown")
            << false << QByteArray(R"({"cmd":"set_stream","chnn":0,"idx":0,"fmt":"mpeg4","wh":"640*480"})")
            << "set_stream" << kAnyError;
        QTest::newRow("frameRateAboveMax")
            << false << QByteArray(R"({"cmd":"set_stream","chnn":0,"frame_rate":31})") << "set_stream" << kAnyError;
        QTest::newRow("valueOutOfRange") << false << QByteArray(R"({"cmd":"set_image","chnn":0,"hue":101})")
                                         << "set_image" << kAnyError;
        QTest::newRow("valueOfWrongType") << true << QByteArray(R"({"cmd":"set_image_bool","chnn":0,"mirror":"yes"})")
                                          << "set_image_bool" << kAnyError;
        QTest::newRow("choiceUnknown") << false << QByteArray(R"({"cmd":"set_img_awb","chnn":0,"awb":"sunny"})")
                                       << "set_img_awb" << kAnyError;
    }

    void refusals()
    {
        QFETCH(bool, newFirmware);
        QFETCH(QByteArray, request);
        QFETCH(QString, member);
        QFETCH(int, code);
        Connection c;
        QVERIFY(c.openLoggedIn(sim(newFirmware).commandPort()));
        const QJsonObject before = c.request({{"cmd", "stream"}, {"chnn", 0}, {"idx", 0}});
        c.sendRaw(request);
        const QJsonObject answer = QJsonDocument::fromJson(c.read()).object();
        QCOMPARE(answer.keys(), QStringList{member});
        QVERIFY(answer[member].toObject().contains("code"));
        const int got = answer[member].toObject()["code"].toInt();
        if (code == kAnyError)
            QVERIFY(got != 0);
        else
            QCOMPARE(got, code);
        // The connection stays usable and a refused stream setting changed nothing.
        QCOMPARE(c.request({{"cmd", "stream"}, {"chnn", 0}, {"idx", 0}}), before);
    }

    void defaultsLieWithinRanges()
    {
        Connection c;
        QVERIFY(c.openLoggedIn(m_new.commandPort()));
        const QStringList withRange{"default_image",   "default_img_meexposure", "default_img_exposure",
                                    "default_img_awb", "default_img_hdr_gamma",  "default_img_drc",
                                    "default_img_roi", "default_ipv4",           "default_wireless_ipv4",
                                    "default_wireless"};
        for (const QString &command : withRange) {
            const QJsonObject answer = c.get(command);
            QCOMPARE(answer["code"].toInt(-100), 0);
            const QJsonObject ranges = answer["range"].toObject();
            for (auto it = ranges.begin(); it != ranges.end(); ++it) {
                const double value = answer[it.key()].toDouble(), min = it->toObject()["min"].toDouble(),
                             max = it->toObject()["max"].toDouble();
                QVERIFY2(min <= value && value <= max, qPrintable(command + " " + it.key()));
            }
        }
        for (const QString &command : QStringList{"get_image_ability", "get_motor_ability"}) {
            const QJsonObject answer = c.get(command);
            QCOMPARE(answer["code"].toInt(-100), 0);
            QVERIFY(answer.size() > 3);
            for (auto it = answer.begin(); it != answer.end(); ++it) {
                if (it.key() == "code")
                    continue;
                const QJsonObject a = it->toObject();
                QVERIFY2(a["min"].toDouble() <= a["def"].toDouble() && a["def"].toDouble() <= a["max"].toDouble(),
                         qPrintable(command + " " + it.key()));
            }
        }

        const QJsonObject stream = c.get("stream");
        QCOMPARE(stream["code"].toInt(-100), 0);
        const QJsonObject range = stream["range"].toObject();
        const QJsonArray sizes{"1920*1080", "1280*720", "640*480"};
        QCOMPARE(range["mjpeg"].toObject()["wh"].toArray(), sizes);
        QCOMPARE(range["h264"].toObject()["wh"].toArray(), sizes);
        QCOMPARE(range["frame_rate"].toObject()["max"].toInt(), 30);
        // The current settings are those of a camera fresh from the factory, and one of the offers.
        QVERIFY(sizes.contains(stream["wh"]));
        QCOMPARE(c.get("default_stream")["bitrate"], QJsonValue(86000));
    }

    void video_data()
    {
        QTest::addColumn<QString>("fmt");
        QTest::addColumn<QString>("wh");
        QTest::addColumn<QString>("nextWh");
        QTest::newRow("mjpeg") << QString("mjpeg") << QString("640*480") << QString("1280*720");
        QTest::newRow("h264") << QString("h264") << QString("1280*720") << QString("640*480");
    }

    void video()
    {
        QFETCH(QString, fmt);
        QFETCH(QString, wh);
        QFETCH(QString, nextWh);
        const auto size = [](const QString &text) {
            return QSize(text.section('*', 0, 0).toInt(), text.section('*', 1, 1).toInt());
        };

        Connection control;
        QVERIFY(control.openLoggedIn(m_new.commandPort()));
        const QJsonObject set{{"cmd", "set_stream"}, {"chnn", 0},       {"idx", 0},          {"fmt", fmt},
                              {"rc_mode", "cbr"},    {"wh", wh},        {"quality", "high"}, {"frame_rate", 30},
                              {"bitrate", 2000},     {"i_interval", 90}};
        QCOMPARE(control.set(set), 0);

        Connection video;
        QVERIFY(video.openLoggedIn(m_new.commandPort()));
        QCOMPARE(video.set({{"cmd", "attach_stream"}, {"chnn", 0}, {"idx", 0}}), 0);

        // Pictures themselves are checked where the library decodes them; here the header fields
        // the library does not need.
        const VideoHeader header = parseHeader(video.read());
        QCOMPARE(header.flags & 1, 1); // a viewer starts at a key frame
        // The send time is the camera's wall clock in microseconds.
        QVERIFY(qAbs(header.sendTimeUs / 1000 - QDateTime::currentMSecsSinceEpoch()) < 60000);
        const VideoHeader second = parseHeader(video.read());
        QVERIFY(second.sequence > header.sequence);
        QVERIFY(second.sendTimeUs >= header.sendTimeUs);

        // A new size restarts the stream at a key frame.
        QJsonObject resize = set;
        resize["wh"] = nextWh;
        QCOMPARE(control.set(resize), 0);
        VideoHeader changed;
        for (int i = 0; i < 60 && QSize(int(changed.width), int(changed.height)) != size(nextWh); ++i)
            changed = parseHeader(video.read());
        QCOMPARE(QSize(int(changed.width), int(changed.height)), size(nextWh));
        QCOMPARE(changed.flags & 1, 1);
    }

private:
    SimProcess &sim(bool newFirmware) { return newFirmware ? m_new : m_old; }

    SimProcess m_new{NETCAM_SIM_PROGRAM}; // serves the grouped commands too
    SimProcess m_old{NETCAM_SIM_PROGRAM};
};

QTEST_GUILESS_MAIN(TestNetcamSim)
#include "tst_netcamsim.moc"
