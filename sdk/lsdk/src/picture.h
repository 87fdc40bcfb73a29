// Decoded pictures (planar YUV 4:2:0 in one buffer) and the coded-picture decoders.
#ifndef LSDK_PICTURE_H
#define LSDK_PICTURE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace lsdk {

// The largest width or height accepted from a camera.
constexpr int kMaxDimension = 16384;

// A decoded picture: tight Y, U and V planes in one allocation.
struct Picture
{
    std::unique_ptr<uint8_t[]> buffer;
    int width = 0;
    int height = 0;
    uint8_t *planes[3] = {};
    int strides[3] = {};
    int64_t timestamp = 0;

    // A picture of the given size, or null for a size outside 1..kMaxDimension or no memory.
    static std::unique_ptr<Picture> allocate(int width, int height);
    // Fills the picture from 8-bit planes whose chroma is chromaWidth x chromaHeight, resampling
    // chroma to 4:2:0. Null u/v means a grey picture.
    void fillFrom(const uint8_t *y, int yStride, const uint8_t *u, int uStride, const uint8_t *v, int vStride,
                  int chromaWidth, int chromaHeight);
};

using PictureList = std::vector<std::unique_ptr<Picture>>;

// Turns coded pictures of one format into Pictures.
class PictureDecoder
{
public:
    virtual ~PictureDecoder() = default;
    // Decodes one coded picture (or access unit); appends what came out. False on a decode error,
    // for a picture the decoder could not finish cleanly, or when the picture's own size is not
    // width x height (checked before allocating where the format allows).
    virtual bool decode(const uint8_t *data, size_t size, int width, int height, int64_t timestamp,
                        PictureList *out) = 0;

    // A decoder for codec 1 (MJPEG) or 2 (H.264); null when it cannot be created.
    static std::unique_ptr<PictureDecoder> create(int codec);
};

} // namespace lsdk

#endif // LSDK_PICTURE_H
