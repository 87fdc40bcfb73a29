#pragma once

#include "videoframe.h"

#include <QImage>
#include <opencv2/core/mat.hpp>

struct lmcam_frame;
struct l_sdk_md_data;

// Conversions between the camera SDKs' frame records, VideoFrame, QImage and cv::Mat. Every
// conversion builds exactly one new buffer; failures give an empty frame, a null image or an
// empty matrix. Colour conversions use BT.601 limited-range coefficients.

// A frame copied from a USB SDK frame record (planar YUV 4:2:0, RGB24 or BGR24, the latter
// swapped to R, G, B). Empty for a missing or malformed record or an unknown pixel format.
VideoFrame makeVideoFrame(const lmcam_frame *frame);
// The same, keeping only the rectangle x, y, w, h; a rectangle that does not lie inside the
// picture gives the whole picture.
VideoFrame makeVideoFrame(const lmcam_frame *frame, int x, int y, int w, int h);
// A frame copied from a network SDK decoded picture (planar YUV 4:2:0, RGB24 or BGR24).
VideoFrame makeVideoFrame(const l_sdk_md_data *data);
VideoFrame makeVideoFrame(const l_sdk_md_data *data, int x, int y, int w, int h);

// The rectangle x, y, w, h of a frame in a new buffer; the frame itself (same buffer) when the
// rectangle does not lie inside it. Chroma offsets are x / 2 and y / 2.
VideoFrame cropVideoFrame(const VideoFrame &frame, int x, int y, int w, int h);
// The frame turned clockwise by 90, 180 or 270 degrees; any other angle returns the frame itself.
VideoFrame rotateVideoFrame(const VideoFrame &frame, int degrees);

// The frame mirrored left to right (`horizontal`), upside down (`vertical`) or both, in a new
// buffer; the frame itself when neither is asked.
VideoFrame mirrorVideoFrame(const VideoFrame &frame, bool horizontal, bool vertical);

// A frame holding a copy of the image's pixels (converted to R, G, B); empty for a null image.
VideoFrame videoFrameFromQImage(const QImage &image);

// A Format_RGB888 image that owns its pixels (it does not refer to the frame's buffer).
QImage videoFrameToQImage(const VideoFrame &frame);
// A new 8-bit three-channel matrix in B, G, R order.
cv::Mat videoFrameToMat(const VideoFrame &frame);

// Indexed8 gives a one-channel copy, RGB32/ARGB32/RGB888 a new B, G, R matrix; other formats
// give an empty matrix.
cv::Mat qImageToMat(const QImage &image);
// One channel gives an Indexed8 image with a grey colour table, three channels (B, G, R) an
// RGB888 image, four channels an ARGB32 image; other matrix types give a null image.
QImage matToQImage(const cv::Mat &mat);
