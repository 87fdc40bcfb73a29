#include "netrequester.h"

#include <QElapsedTimer>
#include <l_sdk.h>

namespace {

class LSdkRequester : public NetRequester
{
public:
    LSdkRequester() { m_clock.start(); }

    int32_t login(int32_t &loginId, const std::string &request) override
    {
        return l_sdk_login(&loginId, request.c_str());
    }
    int32_t logout(int32_t loginId) override { return l_sdk_logout(loginId); }
    int32_t request(int32_t loginId, const std::string &request, std::string &answer) override
    {
        char *text = nullptr;
        const int32_t status = l_sdk_request(loginId, request.c_str(), &text);
        answer.clear();
        if (text) {
            answer = text;
            l_sdk_free(text);
        }
        return status;
    }
    int32_t decoderOpen(int32_t decoderId, const std::string &description) override
    {
        return l_sdk_dec_open(decoderId, description.c_str());
    }
    int32_t decoderBind(int32_t decoderId, int32_t loginId, int32_t channel, int32_t streamIndex) override
    {
        return l_sdk_dec_bind(decoderId, loginId, channel, streamIndex);
    }
    int32_t decoderUnbind(int32_t decoderId) override { return l_sdk_dec_unbind(decoderId); }
    int32_t decoderClose(int32_t decoderId) override { return l_sdk_dec_close(decoderId); }
    int32_t decoderPicture(int32_t decoderId, l_sdk_md_data **data) override
    {
        return l_sdk_dec_get_md_data(decoderId, data);
    }
    void freePicture(l_sdk_md_data *data) override { l_sdk_dec_free_md_data(data); }
    qint64 elapsedMs() override { return m_clock.elapsed(); }

private:
    QElapsedTimer m_clock;
};

} // namespace

std::unique_ptr<NetRequester> makeLSdkRequester()
{
    return std::make_unique<LSdkRequester>();
}
