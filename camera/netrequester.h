#pragma once

#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <string>

struct l_sdk_md_data;

// The calls a network camera makes into the l_sdk library, behind one small interface so that
// tests can answer commands and hand out pictures without a network. Texts are UTF-8 JSON.
class NetRequester
{
public:
    virtual ~NetRequester() = default;

    virtual int32_t login(int32_t &loginId, const std::string &request) = 0;
    virtual int32_t logout(int32_t loginId) = 0;
    // Sends one command. The answer, when the library handed one out, is copied into `answer`
    // (the library's text is released here); it stays empty otherwise.
    virtual int32_t request(int32_t loginId, const std::string &request, std::string &answer) = 0;

    virtual int32_t decoderOpen(int32_t decoderId, const std::string &description) = 0;
    virtual int32_t decoderBind(int32_t decoderId, int32_t loginId, int32_t channel, int32_t streamIndex) = 0;
    virtual int32_t decoderUnbind(int32_t decoderId) = 0;
    virtual int32_t decoderClose(int32_t decoderId) = 0;
    // The next decoded picture; every block handed out goes back through freePicture.
    virtual int32_t decoderPicture(int32_t decoderId, l_sdk_md_data **data) = 0;
    virtual void freePicture(l_sdk_md_data *data) = 0;

    // Monotonic milliseconds, for the request back-off.
    virtual qint64 elapsedMs() = 0;
};

// The requester of the running program: the real l_sdk library and a steady clock.
std::unique_ptr<NetRequester> makeLSdkRequester();
