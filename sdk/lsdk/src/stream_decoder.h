// A decoder bound to a camera's video connection: a receiving thread decodes the pictures of
// one format into a short queue that the reader empties.
#ifndef LSDK_STREAM_DECODER_H
#define LSDK_STREAM_DECODER_H

#include "picture.h"
#include "session.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace lsdk {

// Video message codes for the coded formats.
constexpr int kCodecMjpeg = 1;
constexpr int kCodecH264 = 2;

class StreamDecoder
{
public:
    // Pictures waiting beyond this are dropped, oldest first.
    static constexpr size_t kQueueLimit = 4;
    // Bytes before the coded picture in a video message.
    static constexpr size_t kHeaderSize = 32;

    explicit StreamDecoder(int codec);
    ~StreamDecoder();
    StreamDecoder(const StreamDecoder &) = delete;
    StreamDecoder &operator=(const StreamDecoder &) = delete;

    // Opens the video connection (login, "attach_stream") and starts receiving; an earlier
    // binding is ended first.
    int32_t bind(const LoginTarget &target, int32_t channel, int32_t streamIndex);
    // Ends the binding; L_SDK_ERR_NO_DECODER when not bound.
    int32_t unbind();
    // The oldest waiting picture: L_SDK_OK, L_SDK_ERR_NO_DATA, or L_SDK_ERR_NO_DECODER when not bound.
    int32_t take(std::unique_ptr<Picture> *picture);

private:
    void receive(int fd, std::unique_ptr<PictureDecoder> decoder);
    void handleMessage(const std::string &message, PictureDecoder *decoder);
    // Logs a dropped message (a few per binding); a picture counts towards m_droppedPictures.
    void reject(const char *why, bool picture = false);
    int32_t unbindLocked();

    const int m_codec;
    std::mutex m_controlMutex; // serialises bind and unbind
    std::mutex m_mutex;        // guards what follows
    std::deque<std::unique_ptr<Picture>> m_queue;
    bool m_bound = false;
    int m_fd = -1; // closed by the receiving thread when the connection ends
    int m_rejectLogs = 0;
    int m_droppedPictures = 0; // pictures of this binding that could not be decoded
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

} // namespace lsdk

#endif // LSDK_STREAM_DECODER_H
