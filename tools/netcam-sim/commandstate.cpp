#include "commandstate.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLedParts = 4;
const QStringList kStreamFormats{"mjpeg", "h264"};
const QStringList kRcModes{"cbr", "vbr"};
const QStringList kQualities{"lowest", "low", "medium", "high", "highest"};
// Bit rate limits in kbit/s.
constexpr int kMinBitrate = 64;
constexpr int kMaxBitrate = 100000;
constexpr int kMaxIInterval = 300;

QJsonObject withCode(int code, QJsonObject body = {})
{
    body.insert("code", code);
    return body;
}

QJsonObject range(double min, double max)
{
    return QJsonObject{{"min", min}, {"max", max}};
}

// An integer field within [min, max]; absent fields keep *value.
bool takeInt(const QJsonObject &request, const char *name, int min, int max, int *value)
{
    const QJsonValue v = request.value(QLatin1String(name));
    if (v.isUndefined())
        return true;
    if (!v.isDouble() || v.toDouble() != std::floor(v.toDouble()) || v.toDouble() < min || v.toDouble() > max)
        return false;
    *value = v.toInt();
    return true;
}

// A text field that must be one of the choices; absent fields keep *value.
bool takeChoice(const QJsonObject &request, const char *name, const QStringList &choices, QString *value)
{
    const QJsonValue v = request.value(QLatin1String(name));
    if (v.isUndefined())
        return true;
    if (!v.isString() || !choices.contains(v.toString()))
        return false;
    *value = v.toString();
    return true;
}

QJsonObject streamFields(const StreamSettings &s)
{
    return withCode(0, {{"fmt", s.fmt},
                        {"rc_mode", s.rcMode},
                        {"wh", s.wh()},
                        {"quality", s.quality},
                        {"frame_rate", s.frameRate},
                        {"bitrate", s.bitrate},
                        {"i_interval", s.iInterval}});
}

} // namespace

CommandState::CommandState(const CameraIdentity &identity) : m_identity(identity)
{
    static const struct
    {
        const char *name;
        Handler handler;
    } kHandlers[] = {
        {"system", &CommandState::system},
        {"stream", &CommandState::streamAnswer},
        {"get_stream", &CommandState::streamAnswer},
        {"set_stream", &CommandState::setStream},
        {"default_stream", &CommandState::defaultStream},
        {"get_stream_ability", &CommandState::streamAbility},
        {"get_pic_ability", &CommandState::picAbility},
        {"get_led_ability", &CommandState::ledAbility},
        {"get_led", &CommandState::getLed},
        {"set_led", &CommandState::setLed},
        {"set_focus_relative", &CommandState::focusRelative},
        {"upgrade", &CommandState::upgrade},
        {"status_upgrade", &CommandState::upgradeStatus},
    };
    for (const CommandDef &def : commandDefs()) {
        if (def.grouped && !identity.newCommands)
            continue;
        Command command{def.kind, commandFields(def)};
        if (def.kind == CommandKind::Custom) {
            const auto *it = std::find_if(std::begin(kHandlers), std::end(kHandlers),
                                          [&](const auto &h) { return qstrcmp(h.name, def.name) == 0; });
            Q_ASSERT_X(it != std::end(kHandlers), def.name, "custom command without a handler");
            if (it == std::end(kHandlers))
                continue;
            command.handler = it->handler;
        }
        m_commands.insert(QString::fromLatin1(def.name), command);
    }
    for (const ParamDef &param : paramDefs())
        m_values.insert(QString::fromLatin1(param.key), defaultValue(param));
    m_defaultStream.frameRate = std::min(m_defaultStream.frameRate, identity.maxFps);
    m_stream = m_defaultStream;
}

QJsonValue CommandState::defaultValue(const ParamDef &param) const
{
    if (!param.isText())
        return param.def;
    if (qstrcmp(param.text, "$ip") == 0)
        return m_identity.address;
    if (qstrcmp(param.text, "$mac") == 0)
        return m_identity.mac;
    return QString::fromLatin1(param.text);
}

QJsonObject CommandState::handle(const QJsonObject &request)
{
    const QString name = request.value("cmd").toString();
    const auto it = m_commands.constFind(name);
    QJsonObject body;
    if (it == m_commands.constEnd()) {
        body = withCode(AnswerCode::Unknown);
    } else {
        switch (it->kind) {
        case CommandKind::Get:
            body = getValues(*it);
            break;
        case CommandKind::Set:
            body = setValues(*it, request);
            break;
        case CommandKind::Defaults:
            body = defaults(*it);
            break;
        case CommandKind::Ability:
            body = ability(*it);
            break;
        case CommandKind::Custom:
            body = (this->*(it->handler))(request);
            break;
        }
    }
    return QJsonObject{{name, body}};
}

QJsonObject CommandState::getValues(const Command &command) const
{
    QJsonObject body = withCode(0);
    for (const FieldMap &field : command.fields)
        body.insert(field.wire, m_values.value(QLatin1String(field.param->key)));
    return body;
}

bool CommandState::accepts(const ParamDef &param, const QJsonValue &value) const
{
    if (param.isText()) {
        if (!value.isString())
            return false;
        return !param.choices || QString::fromLatin1(param.choices).split('|').contains(value.toString());
    }
    return value.isDouble() && value.toDouble() >= param.min && value.toDouble() <= param.max;
}

QJsonObject CommandState::setValues(const Command &command, const QJsonObject &request)
{
    // All or nothing: one bad field leaves every value as it was.
    for (const FieldMap &field : command.fields) {
        const QJsonValue value = request.value(field.wire);
        if (!value.isUndefined() && !accepts(*field.param, value))
            return withCode(AnswerCode::InvalidValue);
    }
    for (const FieldMap &field : command.fields) {
        const QJsonValue value = request.value(field.wire);
        if (!value.isUndefined())
            m_values.insert(QLatin1String(field.param->key), value);
    }
    return withCode(0);
}

QJsonObject CommandState::defaults(const Command &command) const
{
    QJsonObject body = withCode(0);
    QJsonObject ranges;
    for (const FieldMap &field : command.fields) {
        body.insert(field.wire, defaultValue(*field.param));
        if (!field.param->isText())
            ranges.insert(field.wire, range(field.param->min, field.param->max));
    }
    if (!ranges.isEmpty())
        body.insert("range", ranges);
    return body;
}

QJsonObject CommandState::ability(const Command &command) const
{
    QJsonObject body = withCode(0);
    for (const FieldMap &field : command.fields)
        if (!field.param->isText())
            body.insert(field.wire,
                        QJsonObject{{"min", field.param->min}, {"max", field.param->max}, {"def", field.param->def}});
    return body;
}

double CommandState::number(const char *key) const
{
    return m_values.value(QLatin1String(key)).toDouble();
}

virtualscope::RenderSettings CommandState::renderSettings() const
{
    virtualscope::RenderSettings s;
    const bool manualExposure = number("expo_type") == 1;
    const ParamDef *shutter = findParam("shuttertime");
    // Brightness acts as exposure compensation in automatic mode, the shutter time and
    // gain in manual mode.
    s.exposure = manualExposure ? number("shuttertime") / shutter->def : std::pow(2.0, (number("bright") - 50) / 25.0);
    s.gain = manualExposure ? std::pow(2.0, number("a_gain") / 20.0) : 1.0;
    if (m_values.value("awb").toString() == "manual") {
        s.wbGains[0] = number("wb_red") / 128.0;
        s.wbGains[1] = number("wb_green") / 128.0;
        s.wbGains[2] = number("wb_blue") / 128.0;
    }
    s.hueDegrees = (number("hue") - 50) * 3.6;
    s.saturation = number("monochrome") != 0 ? 0.0 : number("saturation") / 50.0;
    s.contrast = std::pow(2.0, (number("contrast") - 50) / 25.0);
    s.sharpness = number("sharpness") / 100.0;
    s.gamma = std::pow(2.0, (number("gamma") - 50) / 50.0);
    s.mirror = number("mirror") != 0;
    s.flip = number("flip") != 0;
    s.opticalZoom = 1.0 + 3.0 * number("ezoom_value") / 100.0;
    s.digitalZoom = 1.0 + 3.0 * number("dzoom_value") / 100.0;
    for (int i = 0; i < kLedParts; ++i)
        s.lights[i] = number(QByteArray("led" + QByteArray::number(i)).constData()) / findParam("led0")->def;
    // Automatic focus keeps the picture sharp; manual focus shows the motor's position.
    if (number("focus_mode") == 1)
        s.focusOffset = number("focus_value") - findParam("focus_value")->def;
    return s;
}

QJsonObject CommandState::system(const QJsonObject &)
{
    return withCode(0, {{"hw_ver", m_identity.hwVersion},
                        {"sw_ver", m_identity.swVersion},
                        {"model_suffix", ""},
                        {"wifi", 0},
                        {"model", m_identity.model}});
}

QJsonObject CommandState::streamAnswer(const QJsonObject &)
{
    QJsonObject body = streamFields(m_stream);
    QJsonObject ranges;
    for (const QString &fmt : kStreamFormats)
        ranges.insert(fmt, QJsonObject{{"wh", QJsonArray::fromStringList(offeredStreamSizes())}});
    ranges.insert("frame_rate", QJsonObject{{"max", m_identity.maxFps}});
    body.insert("range", ranges);
    return body;
}

QJsonObject CommandState::setStream(const QJsonObject &request)
{
    StreamSettings s = m_stream;
    QString wh = s.wh();
    const bool ok =
        takeChoice(request, "fmt", kStreamFormats, &s.fmt) && takeChoice(request, "wh", offeredStreamSizes(), &wh) &&
        takeChoice(request, "rc_mode", kRcModes, &s.rcMode) && takeChoice(request, "quality", kQualities, &s.quality) &&
        takeInt(request, "frame_rate", 1, m_identity.maxFps, &s.frameRate) &&
        takeInt(request, "bitrate", kMinBitrate, kMaxBitrate, &s.bitrate) &&
        takeInt(request, "i_interval", 1, kMaxIInterval, &s.iInterval);
    if (!ok)
        return withCode(AnswerCode::InvalidValue);
    s.width = wh.section('*', 0, 0).toInt();
    s.height = wh.section('*', 1, 1).toInt();
    m_stream = s;
    return withCode(0);
}

QJsonObject CommandState::defaultStream(const QJsonObject &)
{
    return streamFields(m_defaultStream);
}

QJsonObject CommandState::streamAbility(const QJsonObject &)
{
    return withCode(0, {{"frame_rate", QJsonObject{{"max", m_identity.maxFps}}}});
}

QJsonObject CommandState::picAbility(const QJsonObject &)
{
    return withCode(0, {{"wh", QJsonArray::fromStringList(offeredStreamSizes())}});
}

QJsonObject CommandState::ledAbility(const QJsonObject &)
{
    const ParamDef *led = findParam("led0");
    return withCode(0, {{"part_number", kLedParts},
                        {"level", QJsonObject{{"min", led->min}, {"max", led->max}, {"def", led->def}}}});
}

QJsonObject CommandState::getLed(const QJsonObject &)
{
    QJsonArray parts;
    for (int i = 0; i < kLedParts; ++i) {
        const int level = m_values.value(QStringLiteral("led%1").arg(i)).toInt();
        parts.append(QJsonObject{{"index", i}, {"level", level}, {"enable", level > 0 ? 1 : 0}});
    }
    return withCode(0, {{"led_info", parts}});
}

QJsonObject CommandState::setLed(const QJsonObject &request)
{
    int index = -1;
    int level = -1;
    const ParamDef *led = findParam("led0");
    if (!request.contains("index") || !request.contains("level") ||
        !takeInt(request, "index", 0, kLedParts - 1, &index) ||
        !takeInt(request, "level", int(led->min), int(led->max), &level))
        return withCode(AnswerCode::InvalidValue);
    m_values.insert(QStringLiteral("led%1").arg(index), level);
    return withCode(0);
}

QJsonObject CommandState::focusRelative(const QJsonObject &request)
{
    int relative = 0;
    const ParamDef *focus = findParam("focus_value");
    if (!request.contains("relative") || !takeInt(request, "relative", -int(focus->max), int(focus->max), &relative))
        return withCode(AnswerCode::InvalidValue);
    const double value = std::clamp(number("focus_value") + relative, focus->min, focus->max);
    m_values.insert("focus_value", value);
    return withCode(0);
}

QJsonObject CommandState::upgrade(const QJsonObject &request)
{
    // The file itself stays on the operator's machine; a path is all the camera checks.
    if (request.value("path").toString().isEmpty())
        return withCode(AnswerCode::InvalidValue);
    m_upgradeClock.start();
    return withCode(0);
}

QJsonObject CommandState::upgradeStatus(const QJsonObject &)
{
    // status: 0 none or failed, 1 in progress, 2 done.
    if (!m_upgradeClock.isValid())
        return withCode(0, {{"status", 0}, {"percentage", 0}});
    const int percentage = int(std::min<qint64>(100, m_upgradeClock.elapsed() * 100 / kUpgradeMs));
    return withCode(0, {{"status", percentage < 100 ? 1 : 2}, {"percentage", percentage}});
}
