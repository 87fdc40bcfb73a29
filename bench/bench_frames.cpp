// Frame conversions at 1920x1080 and 3840x2160, each against memcpy of the same number of
// output bytes measured in the same run (alternating, so both see the same machine load).
#include "frameconversion.h"
#include "i420buffer.h"
#include "rgb24buffer.h"

#include "benchutil.h"

#include <QImage>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <l_sdk.h>
#include <lmcam.h>
#include <string>
#include <vector>

namespace {


constexpr int kRuns = 31;

class Bench
{
public:
    explicit Bench(std::size_t maxBytes) : m_src(maxBytes, 1), m_dst(maxBytes, 2) {}

    // Times operation (which makes outputBytes of pixels) against memcpy of outputBytes.
    void figure(const std::string &name, std::size_t outputBytes, const std::function<void()> &operation)
    {
        BenchUtil::compareMedians(
            name, operation, "memcpy_" + std::to_string(outputBytes) + "B",
            [&] { std::memcpy(m_dst.data(), m_src.data(), outputBytes); }, kRuns);
    }

private:
    std::vector<std::uint8_t> m_src;
    std::vector<std::uint8_t> m_dst;
};

std::vector<std::uint8_t> noisePlane(std::size_t bytes)
{
    std::vector<std::uint8_t> plane(bytes);
    std::uint32_t state = 12345;
    for (auto &byte : plane) {
        state = state * 1664525u + 1013904223u;
        byte = std::uint8_t(state >> 24);
    }
    return plane;
}

void runSize(int width, int height)
{
    const std::string size = "_" + std::to_string(width) + "x" + std::to_string(height);
    const std::size_t pixels = std::size_t(width) * height;
    const int cw = (width + 1) / 2;
    const int ch = (height + 1) / 2;
    const std::size_t i420Bytes = pixels + 2 * std::size_t(cw) * ch;
    const std::size_t rgbBytes = 3 * pixels;
    Bench bench(4 * pixels);

    // SDK records over tightly packed planes, as the cameras deliver them.
    std::vector<std::uint8_t> y = noisePlane(pixels), u = noisePlane(std::size_t(cw) * ch),
                              v = noisePlane(std::size_t(cw) * ch), packed = noisePlane(rgbBytes);
    lmcam_frame usb{};
    usb.planes[0] = y.data();
    usb.planes[1] = u.data();
    usb.planes[2] = v.data();
    usb.strides[0] = width;
    usb.strides[1] = usb.strides[2] = cw;
    usb.width = width;
    usb.height = height;
    usb.library_ref = 1;
    lmcam_frame usbPacked = usb;
    usbPacked.planes[0] = packed.data();
    usbPacked.strides[0] = 3 * width;
    l_sdk_md_data net{};
    net.width = width;
    net.height = height;
    net.ref = 1;
    for (int p = 0; p < 3; ++p) {
        net.planes[p].data = reinterpret_cast<std::uintptr_t>(usb.planes[p]);
        net.planes[p].stride = usb.strides[p];
    }
    l_sdk_md_data netPacked = net;
    netPacked.planes[0].data = reinterpret_cast<std::uintptr_t>(packed.data());
    netPacked.planes[0].stride = 3 * width;

    // Half-size crops at an odd origin.
    const int cropW = width / 2, cropH = height / 2, cropX = width / 4 + 1, cropY = height / 4 + 1;
    const std::size_t cropPixels = std::size_t(cropW) * cropH;
    const std::size_t cropI420Bytes = cropPixels + 2 * std::size_t((cropW + 1) / 2) * ((cropH + 1) / 2);

    const auto makeFrom = [&](lmcam_frame record, int format, bool crop) {
        record.pixel_format = format;
        return crop ? makeVideoFrame(&record, cropX, cropY, cropW, cropH) : makeVideoFrame(&record);
    };
    const auto makeFromNet = [&](l_sdk_md_data record, int format) {
        record.format = format;
        return makeVideoFrame(&record);
    };
    bench.figure("make_usb_i420" + size, i420Bytes, [&] { makeFrom(usb, LMCAM_PIXEL_FORMAT_I420, false); });
    bench.figure("make_usb_rgb24" + size, rgbBytes, [&] { makeFrom(usbPacked, LMCAM_PIXEL_FORMAT_RGB24, false); });
    bench.figure("make_usb_bgr24" + size, rgbBytes, [&] { makeFrom(usbPacked, LMCAM_PIXEL_FORMAT_BGR24, false); });
    bench.figure("make_usb_i420_crop" + size, cropI420Bytes, [&] { makeFrom(usb, LMCAM_PIXEL_FORMAT_I420, true); });
    bench.figure("make_usb_rgb24_crop" + size, 3 * cropPixels,
                 [&] { makeFrom(usbPacked, LMCAM_PIXEL_FORMAT_RGB24, true); });
    bench.figure("make_usb_bgr24_crop" + size, 3 * cropPixels,
                 [&] { makeFrom(usbPacked, LMCAM_PIXEL_FORMAT_BGR24, true); });
    bench.figure("make_net_i420" + size, i420Bytes, [&] { makeFromNet(net, L_SDK_PIX_FMT_YUV420P); });
    bench.figure("make_net_rgb24" + size, rgbBytes, [&] { makeFromNet(netPacked, L_SDK_PIX_FMT_RGB24); });
    bench.figure("make_net_bgr24" + size, rgbBytes, [&] { makeFromNet(netPacked, L_SDK_PIX_FMT_BGR24); });

    const VideoFrame i420 = makeFrom(usb, LMCAM_PIXEL_FORMAT_I420, false);
    const VideoFrame rgb = makeFrom(usbPacked, LMCAM_PIXEL_FORMAT_RGB24, false);
    bench.figure("crop_i420" + size, cropI420Bytes, [&] { cropVideoFrame(i420, cropX, cropY, cropW, cropH); });
    bench.figure("crop_rgb24" + size, 3 * cropPixels, [&] { cropVideoFrame(rgb, cropX, cropY, cropW, cropH); });
    for (int degrees : {90, 180, 270}) {
        const std::string angle = std::to_string(degrees);
        bench.figure("rotate_i420_" + angle + size, i420Bytes, [&] { rotateVideoFrame(i420, degrees); });
        bench.figure("rotate_rgb24_" + angle + size, rgbBytes, [&] { rotateVideoFrame(rgb, degrees); });
    }
    bench.figure("rgb24_to_i420" + size, i420Bytes, [&] { rgb.videoFrameBuffer()->ToI420(); });
    bench.figure("frame_to_qimage_i420" + size, rgbBytes, [&] { videoFrameToQImage(i420); });
    bench.figure("frame_to_qimage_rgb24" + size, rgbBytes, [&] { videoFrameToQImage(rgb); });
    bench.figure("frame_to_mat_i420" + size, rgbBytes, [&] { videoFrameToMat(i420); });
    bench.figure("frame_to_mat_rgb24" + size, rgbBytes, [&] { videoFrameToMat(rgb); });

    QImage rgb32(width, height, QImage::Format_RGB32);
    std::memcpy(rgb32.bits(), noisePlane(rgb32.sizeInBytes()).data(), rgb32.sizeInBytes());
    const QImage rgb888 = rgb32.convertToFormat(QImage::Format_RGB888);
    const QImage indexed8 = matToQImage(cv::Mat(height, width, CV_8UC1, y.data()));
    bench.figure("qimage_to_mat_rgb32" + size, rgbBytes, [&] { qImageToMat(rgb32); });
    bench.figure("qimage_to_mat_rgb888" + size, rgbBytes, [&] { qImageToMat(rgb888); });
    bench.figure("qimage_to_mat_indexed8" + size, pixels, [&] { qImageToMat(indexed8); });

    const cv::Mat grey(height, width, CV_8UC1, y.data());
    const cv::Mat bgr(height, width, CV_8UC3, packed.data());
    const cv::Mat bgra(height, width, CV_8UC4, rgb32.bits());
    bench.figure("mat_to_qimage_8uc1" + size, pixels, [&] { matToQImage(grey); });
    bench.figure("mat_to_qimage_8uc3" + size, rgbBytes, [&] { matToQImage(bgr); });
    bench.figure("mat_to_qimage_8uc4" + size, 4 * pixels, [&] { matToQImage(bgra); });
}

} // namespace

int main()
{
    runSize(1920, 1080);
    runSize(3840, 2160);
    return 0;
}
