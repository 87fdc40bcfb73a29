#pragma once

#include "videoframe.h"

#include <QString>

// Flat-field reference frames in ".ffc" files, as frames: the settings store keeps them as
// images, the image-processing worker works on frames.

// Writes the frame (converted to R, G, B) to path; false for an empty frame or a failed write.
bool saveFFCAverageFrame(const VideoFrame &frame, const QString &path);
// The stored reference as an RGB24 frame; empty when the file is missing or not valid.
VideoFrame loadFFCAverageFrame(const QString &path);
