// The C calls: process-wide state (sessions, decoders, discovery) and argument checks.
#include "discovery.h"
#include "l_sdk.h"
#include "lsdk_private.h"
#include "picture.h"
#include "session.h"
#include "stream_decoder.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace lsdk {

namespace {

constexpr int kMaxRequestTimeoutMs = 600000;
constexpr char kLoginId0Command[] = "upgrade";

std::atomic<int> g_requestTimeoutMs{kDefaultRequestTimeoutMs};
std::atomic<l_sdk_log_callback> g_logCallback{nullptr};

// Everything l_sdk_quit tears down. Calls copy the shared pointers they need under the
// mutex and do their network work without it.
struct State
{
    std::mutex mutex;
    bool initialized = false;
    std::shared_ptr<Discovery> discovery;
    std::map<int32_t, std::shared_ptr<Session>> sessions;
    std::map<int32_t, std::shared_ptr<StreamDecoder>> decoders;
    int32_t nextLoginId = 1;
};

State &state()
{
    static State s;
    return s;
}

// Pictures handed out and not yet released, by block: a stray or repeated release is refused.
struct HandedOut
{
    std::mutex mutex;
    std::unordered_map<l_sdk_md_data *, std::unique_ptr<Picture>> blocks;
};

HandedOut &handedOut()
{
    static HandedOut h;
    return h;
}

std::optional<nlohmann::json> parseObject(const char *text)
{
    try {
        nlohmann::json json = nlohmann::json::parse(text);
        if (json.is_object())
            return json;
    } catch (const nlohmann::json::exception &) {
    }
    return std::nullopt;
}

// A configuration text: null, empty or a JSON object.
bool validConfig(const char *config)
{
    return !config || !*config || parseObject(config).has_value();
}

bool stringMember(const nlohmann::json &object, const char *name, std::string *value)
{
    const auto it = object.find(name);
    if (it == object.end() || !it->is_string())
        return false;
    *value = it->get<std::string>();
    return true;
}

char *copyText(const std::string &text)
{
    char *copy = static_cast<char *>(std::malloc(text.size() + 1));
    if (copy) {
        std::memcpy(copy, text.data(), text.size());
        copy[text.size()] = '\0';
    }
    return copy;
}

int readTimeoutFromEnvironment()
{
    const char *text = std::getenv("LSDK_REQUEST_TIMEOUT_MS");
    if (!text || !*text)
        return kDefaultRequestTimeoutMs;
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 1 || value > kMaxRequestTimeoutMs) {
        logLine("LSDK_REQUEST_TIMEOUT_MS=\"%s\" ignored (1..%d expected)", text, kMaxRequestTimeoutMs);
        return kDefaultRequestTimeoutMs;
    }
    return static_cast<int>(value);
}

// The command port for ip: the one discovery heard, else the caller's (0 when neither).
uint16_t commandPort(const std::string &ip, int64_t fallback)
{
    std::shared_ptr<Discovery> discovery;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        discovery = state().discovery;
    }
    uint16_t port = 0;
    if (discovery && discovery->commandPort(ip, &port))
        return port;
    return fallback >= 1 && fallback <= 65535 ? static_cast<uint16_t>(fallback) : 0;
}

int64_t requestPort(const nlohmann::json &request)
{
    const auto it = request.find("port");
    return it != request.end() && it->is_number_integer() ? it->get<int64_t>() : 0;
}

// Reads address and credentials of a login-like request; the credentials sit in member
// credentialsKey ("login", or "upgrade" for the upgrade command).
bool readLoginRequest(const nlohmann::json &request, const char *credentialsKey, LoginTarget *target)
{
    std::string ip, user, password;
    uint32_t address = 0;
    const auto credentials = request.find(credentialsKey);
    if (!stringMember(request, "ip", &ip) || !parseIpv4(ip, &address) || credentials == request.end() ||
        !credentials->is_object() || !stringMember(*credentials, "username", &user) ||
        !stringMember(*credentials, "passwd", &password))
        return false;
    target->ip = ip;
    target->port = commandPort(ip, requestPort(request));
    nlohmann::json login = {{"cmd", "login"},
                            {"ip", ip},
                            {"port", requestPort(request)},
                            {"login", {{"username", user}, {"passwd", password}}}};
    target->loginMessage = login.dump();
    return target->port != 0;
}

// "upgrade" under login id 0: a connection of its own, closed after the answer.
int32_t requestWithoutSession(const nlohmann::json &request, const char *text, std::string *answer)
{
    LoginTarget target;
    if (!readLoginRequest(request, kLoginId0Command, &target))
        return L_SDK_ERR_INVALID_ARG;
    int fd = -1;
    int32_t status = openLoggedInConnection(target, requestTimeoutMs(), &fd);
    if (status != L_SDK_OK)
        return status;
    status = exchange(fd, text, answer, requestTimeoutMs());
    closeSocket(fd);
    return status;
}

template<typename T> std::shared_ptr<T> find(const std::map<int32_t, std::shared_ptr<T>> &map, int32_t id)
{
    const auto it = map.find(id);
    return it == map.end() ? nullptr : it->second;
}

} // namespace

int requestTimeoutMs()
{
    return g_requestTimeoutMs.load();
}

void setRequestTimeoutMs(int ms)
{
    g_requestTimeoutMs = ms;
}

void logLine(const char *format, ...)
{
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (const l_sdk_log_callback callback = g_logCallback.load())
        callback(line);
    else
        std::fprintf(stderr, "l_sdk: %s\n", line);
}

} // namespace lsdk

using namespace lsdk;

#define LSDK_REQUIRE_INIT()                                                                                            \
    do {                                                                                                               \
        std::lock_guard<std::mutex> initLock(state().mutex);                                                           \
        if (!state().initialized)                                                                                      \
            return L_SDK_ERR_NOT_INITIALIZED;                                                                          \
    } while (0)

extern "C" {

int32_t l_sdk_log_set_callback(l_sdk_log_callback callback)
{
    g_logCallback = callback;
    return L_SDK_OK;
}

int32_t l_sdk_init(const char *config)
{
    if (!validConfig(config))
        return L_SDK_ERR_INVALID_ARG;
    std::lock_guard<std::mutex> lock(state().mutex);
    if (!state().initialized) {
        setRequestTimeoutMs(readTimeoutFromEnvironment());
        state().initialized = true;
    }
    return L_SDK_OK;
}

int32_t l_sdk_quit(void)
{
    std::shared_ptr<Discovery> discovery;
    std::map<int32_t, std::shared_ptr<Session>> sessions;
    std::map<int32_t, std::shared_ptr<StreamDecoder>> decoders;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        state().initialized = false;
        discovery.swap(state().discovery);
        sessions.swap(state().sessions);
        decoders.swap(state().decoders);
    }
    if (discovery)
        discovery->setRunning(false);
    for (auto &[id, decoder] : decoders)
        decoder->unbind();
    for (auto &[id, session] : sessions)
        session->close();
    return L_SDK_OK;
}

// Releasing what the caller holds works whatever the library's state, so nothing leaks
// across l_sdk_quit.
int32_t l_sdk_free(char *text)
{
    std::free(text);
    return L_SDK_OK;
}

int32_t l_sdk_discover_open(const char *config)
{
    if (!validConfig(config))
        return L_SDK_ERR_INVALID_ARG;
    std::lock_guard<std::mutex> lock(state().mutex);
    if (!state().initialized)
        return L_SDK_ERR_NOT_INITIALIZED;
    if (!state().discovery)
        state().discovery = std::make_shared<Discovery>(Discovery::targetsFromEnvironment());
    return L_SDK_OK;
}

int32_t l_sdk_discover_run(int32_t run)
{
    if (run != 0 && run != 1)
        return L_SDK_ERR_INVALID_ARG;
    std::shared_ptr<Discovery> discovery;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        discovery = state().discovery;
    }
    if (!discovery)
        return L_SDK_ERR_FAILED; // l_sdk_discover_open first
    return discovery->setRunning(run == 1) ? L_SDK_OK : L_SDK_ERR_FAILED;
}

int32_t l_sdk_discover_close(void)
{
    std::shared_ptr<Discovery> discovery;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        discovery.swap(state().discovery);
    }
    if (discovery)
        discovery->setRunning(false);
    return L_SDK_OK;
}

int32_t l_sdk_discover_get_devs(char **answer)
{
    if (!answer)
        return L_SDK_ERR_INVALID_ARG;
    *answer = nullptr;
    std::shared_ptr<Discovery> discovery;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        discovery = state().discovery;
    }
    *answer = copyText(discovery ? discovery->devicesJson() : "[]");
    return *answer ? L_SDK_OK : L_SDK_ERR_FAILED;
}

int32_t l_sdk_login(int32_t *login_id, const char *request)
{
    LSDK_REQUIRE_INIT();
    if (!login_id || !request)
        return L_SDK_ERR_INVALID_ARG;
    const std::optional<nlohmann::json> json = parseObject(request);
    std::string command = "login";
    LoginTarget target;
    if (!json || (json->contains("cmd") && (!stringMember(*json, "cmd", &command) || command != "login")) ||
        !readLoginRequest(*json, "login", &target))
        return L_SDK_ERR_INVALID_ARG;

    const std::string ip = target.ip;
    const int64_t fallbackPort = target.port;
    auto session = std::make_shared<Session>(target, [ip, fallbackPort] { return commandPort(ip, fallbackPort); });
    const int32_t status = session->login();
    if (status != L_SDK_OK)
        return status;

    std::lock_guard<std::mutex> lock(state().mutex);
    if (!state().initialized)
        return L_SDK_ERR_NOT_INITIALIZED; // l_sdk_quit ran meanwhile
    State &s = state();
    // Ids are never 0 (reserved for the upgrade command) and never reused while in use.
    while (s.nextLoginId <= 0 || s.sessions.count(s.nextLoginId))
        s.nextLoginId = s.nextLoginId <= 0 ? 1 : s.nextLoginId + 1;
    *login_id = s.nextLoginId++;
    s.sessions[*login_id] = session;
    return L_SDK_OK;
}

int32_t l_sdk_logout(int32_t login_id)
{
    std::shared_ptr<Session> session;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        session = find(state().sessions, login_id);
        state().sessions.erase(login_id);
    }
    if (!session)
        return L_SDK_ERR_NO_SESSION;
    session->close();
    return L_SDK_OK;
}

int32_t l_sdk_request(int32_t login_id, const char *request, char **answer)
{
    std::shared_ptr<Session> session;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        session = find(state().sessions, login_id);
    }
    if (!request || !answer)
        return L_SDK_ERR_INVALID_ARG;
    *answer = nullptr;
    const std::optional<nlohmann::json> json = parseObject(request);
    if (!json)
        return L_SDK_ERR_INVALID_ARG;

    std::string text;
    int32_t status = L_SDK_ERR_NO_SESSION;
    std::string command;
    if (login_id == 0 && stringMember(*json, "cmd", &command) && command == kLoginId0Command)
        status = requestWithoutSession(*json, request, &text);
    else if (session)
        status = session->request(request, &text);
    if (status != L_SDK_OK)
        return status;
    *answer = copyText(text);
    return *answer ? L_SDK_OK : L_SDK_ERR_FAILED;
}

int32_t l_sdk_dec_open(int32_t decoder_id, const char *description)
{
    LSDK_REQUIRE_INIT();
    if (!description)
        return L_SDK_ERR_INVALID_ARG;
    const std::optional<nlohmann::json> json = parseObject(description);
    std::string format, pixelFormat;
    if (!json || !stringMember(*json, "md_fmt", &format) || !stringMember(*json, "pix_fmt", &pixelFormat) ||
        pixelFormat != "YUV420P_SEPARATE")
        return L_SDK_ERR_INVALID_ARG;
    const int codec = format == "MJPEG" ? kCodecMjpeg : format == "H264" ? kCodecH264 : 0;
    if (codec == 0)
        return L_SDK_ERR_INVALID_ARG;

    std::lock_guard<std::mutex> lock(state().mutex);
    if (!state().initialized)
        return L_SDK_ERR_NOT_INITIALIZED;
    if (state().decoders.count(decoder_id))
        return L_SDK_ERR_INVALID_ARG;
    state().decoders[decoder_id] = std::make_shared<StreamDecoder>(codec);
    return L_SDK_OK;
}

int32_t l_sdk_dec_bind(int32_t decoder_id, int32_t login_id, int32_t channel, int32_t stream_index)
{
    std::shared_ptr<StreamDecoder> decoder;
    std::shared_ptr<Session> session;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        decoder = find(state().decoders, decoder_id);
        session = find(state().sessions, login_id);
    }
    if (!decoder)
        return L_SDK_ERR_NO_DECODER;
    if (!session)
        return L_SDK_ERR_NO_SESSION;
    if (channel < 0 || stream_index < 0)
        return L_SDK_ERR_INVALID_ARG;
    return decoder->bind(session->target(), channel, stream_index);
}

int32_t l_sdk_dec_unbind(int32_t decoder_id)
{
    std::shared_ptr<StreamDecoder> decoder;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        decoder = find(state().decoders, decoder_id);
    }
    return decoder ? decoder->unbind() : L_SDK_ERR_NO_DECODER;
}

int32_t l_sdk_dec_close(int32_t decoder_id)
{
    std::shared_ptr<StreamDecoder> decoder;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        decoder = find(state().decoders, decoder_id);
        state().decoders.erase(decoder_id);
    }
    if (!decoder)
        return L_SDK_ERR_NO_DECODER;
    decoder->unbind();
    return L_SDK_OK;
}

int32_t l_sdk_dec_get_md_data(int32_t decoder_id, l_sdk_md_data **data)
{
    if (data)
        *data = nullptr;
    std::shared_ptr<StreamDecoder> decoder;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        if (!state().initialized)
            return L_SDK_ERR_NOT_INITIALIZED;
        decoder = find(state().decoders, decoder_id);
    }
    if (!data)
        return L_SDK_ERR_INVALID_ARG;
    if (!decoder)
        return L_SDK_ERR_NO_DECODER;
    std::unique_ptr<Picture> picture;
    const int32_t status = decoder->take(&picture);
    if (status != L_SDK_OK)
        return status;

    auto *block = new (std::nothrow) l_sdk_md_data{};
    if (!block)
        return L_SDK_ERR_FAILED;
    block->format = L_SDK_PIX_FMT_YUV420P;
    block->timestamp = picture->timestamp;
    block->width = picture->width;
    block->height = picture->height;
    for (int i = 0; i < 3; ++i) {
        block->planes[i].data = reinterpret_cast<uintptr_t>(picture->planes[i]);
        block->planes[i].stride = picture->strides[i];
    }
    block->ref = reinterpret_cast<uintptr_t>(picture.get());
    std::lock_guard<std::mutex> lock(handedOut().mutex);
    handedOut().blocks[block] = std::move(picture);
    *data = block;
    return L_SDK_OK;
}

int32_t l_sdk_dec_free_md_data(l_sdk_md_data *data)
{
    if (!data)
        return L_SDK_OK;
    std::unique_ptr<Picture> picture;
    {
        std::lock_guard<std::mutex> lock(handedOut().mutex);
        const auto it = handedOut().blocks.find(data);
        if (it == handedOut().blocks.end())
            return L_SDK_ERR_INVALID_ARG; // not ours, or released already
        picture = std::move(it->second);
        handedOut().blocks.erase(it);
    }
    delete data;
    return L_SDK_OK;
}

} // extern "C"
