// Video connection: framing, header checks, decoding and the bounded picture queue.
#include "stream_decoder.h"
#include "l_sdk.h"
#include "lsdk_private.h"
#include "net_io.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <sys/socket.h>

namespace lsdk {

namespace {

// Rejected messages logged per binding; a broken camera would otherwise fill stderr.
constexpr int kMaxRejectLogs = 5;

bool attachAccepted(const std::string &answer)
{
    try {
        const nlohmann::json json = nlohmann::json::parse(answer);
        return json.is_object() && json.contains("attach_stream") && json["attach_stream"].is_object() &&
               json["attach_stream"].contains("code") && json["attach_stream"]["code"].is_number_integer() &&
               json["attach_stream"]["code"].get<int64_t>() == 0;
    } catch (const nlohmann::json::exception &) {
        return false;
    }
}

} // namespace

StreamDecoder::StreamDecoder(int codec) : m_codec(codec) {}

StreamDecoder::~StreamDecoder()
{
    unbind();
}

int32_t StreamDecoder::bind(const LoginTarget &target, int32_t channel, int32_t streamIndex)
{
    std::lock_guard<std::mutex> control(m_controlMutex);
    unbindLocked();

    std::unique_ptr<PictureDecoder> decoder = PictureDecoder::create(m_codec);
    if (!decoder)
        return L_SDK_ERR_FAILED;
    int fd = -1;
    int32_t status = openLoggedInConnection(target, requestTimeoutMs(), &fd);
    if (status != L_SDK_OK)
        return status;
    const nlohmann::json attach = {{"cmd", "attach_stream"}, {"chnn", channel}, {"idx", streamIndex}};
    std::string answer;
    status = exchange(fd, attach.dump(), &answer, requestTimeoutMs());
    if (status == L_SDK_OK && !attachAccepted(answer)) {
        logLine("attach_stream refused by %s: %.200s", target.ip.c_str(), answer.c_str());
        status = L_SDK_ERR_FAILED;
    }
    if (status != L_SDK_OK) {
        closeSocket(fd);
        return status;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fd = fd;
        m_bound = true;
        m_rejectLogs = 0;
        m_droppedPictures = 0;
    }
    m_stop = false;
    m_thread = std::thread(&StreamDecoder::receive, this, fd, std::move(decoder));
    return L_SDK_OK;
}

int32_t StreamDecoder::unbind()
{
    std::lock_guard<std::mutex> control(m_controlMutex);
    return unbindLocked();
}

int32_t StreamDecoder::unbindLocked()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_bound)
            return L_SDK_ERR_NO_DECODER;
        m_stop = true;
        if (m_fd >= 0)
            ::shutdown(m_fd, SHUT_RDWR); // wakes the receiving thread at once
    }
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bound = false;
    m_queue.clear();
    return L_SDK_OK;
}

int32_t StreamDecoder::take(std::unique_ptr<Picture> *picture)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_bound)
        return L_SDK_ERR_NO_DECODER;
    if (m_queue.empty())
        return L_SDK_ERR_NO_DATA;
    *picture = std::move(m_queue.front());
    m_queue.pop_front();
    return L_SDK_OK;
}

void StreamDecoder::receive(int fd, std::unique_ptr<PictureDecoder> decoder)
{
    std::string message;
    for (;;) {
        const IoResult result = receiveMessage(fd, &message, Clock::time_point::max(), kMaxMessageSize, &m_stop);
        if (result == IoResult::Ok) {
            handleMessage(message, decoder.get());
            continue;
        }
        if (result == IoResult::TooLarge)
            logLine("video message longer than %u bytes: connection closed", kMaxMessageSize);
        break;
    }
    // The lost connection is not reopened; pictures already queued can still be taken.
    std::lock_guard<std::mutex> lock(m_mutex);
    closeSocket(m_fd);
    m_fd = -1;
    if (m_droppedPictures > 0)
        logLine("video connection ended; %d undecodable pictures were dropped", m_droppedPictures);
}

void StreamDecoder::reject(const char *why, bool picture)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (picture)
        ++m_droppedPictures;
    if (m_rejectLogs < kMaxRejectLogs) {
        ++m_rejectLogs;
        logLine("video message dropped: %s (%d undecodable pictures so far)", why, m_droppedPictures);
    }
}

void StreamDecoder::handleMessage(const std::string &message, PictureDecoder *decoder)
{
    const auto *bytes = reinterpret_cast<const uint8_t *>(message.data());
    if (message.size() < kHeaderSize || std::memcmp(bytes, "LVID", 4) != 0)
        return reject("not a video header");
    if (bytes[4] != m_codec)
        return; // another format: not for this decoder
    const uint32_t width = readBe32(bytes + 8), height = readBe32(bytes + 12);
    if (width < 1 || height < 1 || width > uint32_t(kMaxDimension) || height > uint32_t(kMaxDimension))
        return reject("picture size out of range");
    const auto timestamp = static_cast<int64_t>(readBe64(bytes + 20));

    // A damaged picture, or one whose header disagrees with it (a stale or forged size), gives
    // no picture: never one that is partly grey.
    PictureList pictures;
    if (!decoder->decode(bytes + kHeaderSize, message.size() - kHeaderSize, int(width), int(height), timestamp,
                         &pictures))
        return reject("picture damaged, undecodable or of another size than its header", true);
    for (std::unique_ptr<Picture> &picture : pictures) {
        std::lock_guard<std::mutex> lock(m_mutex);
        while (m_queue.size() >= kQueueLimit)
            m_queue.pop_front();
        m_queue.push_back(std::move(picture));
    }
}

} // namespace lsdk
