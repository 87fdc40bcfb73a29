// Sustained recording of RGB24 pictures (as the display reads them back) through the video
// recorder at 1080p60 and 4K30, fed at the real rate for a few seconds: frames written per
// second and frames dropped, against the ffmpeg command line encoding the same pictures with
// the same encoder settings (4:2:0, ultrafast, the same crf) as fast as it can, in the same run.
#include "codecsettings.h"
#include "rgb24buffer.h"
#include "videorecorder.h"

#include "benchutil.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kSeconds = 5;
// Distinct pictures, shown in turn: each differs from the one before everywhere.
constexpr int kPictures = 8;

// Picture `index`: diagonal bands and a block that move with the index, plus some fine
// texture, so that the encoder sees motion everywhere.
std::shared_ptr<RGB24Buffer> movingPicture(int width, int height, int index)
{
    std::shared_ptr<RGB24Buffer> buffer = RGB24Buffer::Create(width, height);
    const int shift = index * 24;
    for (int y = 0; y < height; ++y) {
        std::uint8_t *row = buffer->MutableData() + std::size_t(y) * buffer->Stride();
        for (int x = 0; x < width; ++x) {
            const bool block = (x - shift * 2) % width < width / 6 && y > height / 3 && y < height / 2;
            row[3 * x] = block ? 250 : std::uint8_t((x + y + shift) / 4);
            row[3 * x + 1] = std::uint8_t((x * 7 + y * 3) ^ shift);
            row[3 * x + 2] = std::uint8_t((y - shift) / 3 + ((x ^ y) & 15));
        }
    }
    return buffer;
}

struct Outcome
{
    double fps = 0;
    int dropped = 0;
};

// Feeds `frames` pictures at `rate` per second into a recorder, then finishes the file.
Outcome recordAtRate(const std::vector<std::shared_ptr<RGB24Buffer>> &pictures, int rate, int frames,
                     const QString &path)
{
    const int width = pictures.front()->width();
    const int height = pictures.front()->height();
    VideoRecorder recorder;
    recorder.setPath(path);
    CodecSettings settings = CodecSettings::forPictureSize(width, height);
    settings.fps = rate;
    if (!recorder.init(settings))
        return {};
    recorder.start();
    const auto start = std::chrono::steady_clock::now();
    const auto interval = std::chrono::microseconds(1000000 / rate);
    for (int i = 0; i < frames; ++i) {
        std::this_thread::sleep_until(start + i * interval);
        recorder.onFrame(VideoFrame(pictures[i % pictures.size()], std::int64_t(i) * interval.count()));
    }
    recorder.stop();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {recorder.framesWritten() / seconds, recorder.framesDropped()};
}

// The ffmpeg command line encoding the same pictures from a pipe; frames per second.
double ffmpegFps(const std::vector<std::shared_ptr<RGB24Buffer>> &pictures, int rate, int frames,
                 const CodecSettings &settings, const QString &path)
{
    const int width = pictures.front()->width();
    const int height = pictures.front()->height();
    const std::string command = "ffmpeg -v error -y -f rawvideo -pix_fmt rgb24 -s " + std::to_string(width) + "x" +
                                std::to_string(height) + " -r " + std::to_string(rate) +
                                " -i - -pix_fmt yuv420p -c:v libx264 -preset ultrafast -crf " +
                                std::to_string(int(settings.crf)) + " -f mp4 '" + path.toStdString() + "'";
    const auto start = std::chrono::steady_clock::now();
    FILE *pipe = popen(command.c_str(), "w");
    if (!pipe)
        return 0;
    for (int i = 0; i < frames; ++i) {
        const RGB24Buffer &picture = *pictures[i % pictures.size()];
        for (int y = 0; y < height; ++y)
            std::fwrite(picture.Data() + std::size_t(y) * picture.Stride(), 3, width, pipe);
    }
    if (pclose(pipe) != 0)
        return 0;
    return frames / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void figure(const std::string &name, int width, int height, int rate, const QTemporaryDir &dir)
{
    std::vector<std::shared_ptr<RGB24Buffer>> pictures;
    for (int i = 0; i < kPictures; ++i)
        pictures.push_back(movingPicture(width, height, i));
    const int frames = rate * kSeconds;
    const Outcome recorded = recordAtRate(pictures, rate, frames, dir.filePath("recorder.mp4"));
    const double anchor =
        ffmpegFps(pictures, rate, frames, CodecSettings::forPictureSize(width, height), dir.filePath("ffmpeg.mp4"));
    BenchUtil::printFigure(name, recorded.fps, "fps", "ffmpeg_cli_libx264_ultrafast", anchor);
    std::printf("%s: %d of %d frames dropped at %d fps\n", name.c_str(), recorded.dropped, frames, rate);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    figure("videorecorder_rgb24_1080p60", 1920, 1080, 60, dir);
    figure("videorecorder_rgb24_4k30", 3840, 2160, 30, dir);
    return 0;
}
