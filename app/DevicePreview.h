#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <string>

#include "engine/RLEEncoder.h"
#include "engine/RLEIndexMap.h"

namespace quenda {
class c32bppDIB;
}

namespace zorix {

// A picture as the device format would hold it: encoded in memory with the given
// palette options and decoded back; nothing is written.
struct DevicePreview {
    bool success = false;
    std::string failureReason;  // the encoder's or decoder's, when it failed
    QImage picture;             // the decoded image composed over the background
    quenda::RLEIndexMap map;    // its palette and the entry of every pixel
    int32_t paletteSize = 0;    // colours the palette needs, the transparent entry not counted
    double psnr = 0;            // against the original picture, dB; infinite when equal
};

// Encodes `image` with `accuracy`, `maxPalette` and `options` and decodes it again;
// `original` is the image composed over `background`, the picture the error is measured
// against.
DevicePreview MakeDevicePreview(const quenda::c32bppDIB& image, float accuracy, int32_t maxPalette,
                                int32_t background, const QImage& original,
                                const quenda::RLEEncodeOptions& options = {});

// Peak signal-to-noise ratio of two pictures of one size over their red, green and
// blue channels, in dB; infinite when they are equal, 0 when the sizes differ.
double PicturePsnr(const QImage& a, const QImage& b);

// The status field's text: "Device preview: 87 colours | PSNR 38.2 dB", or the
// reason the picture cannot be held.
QString DevicePreviewText(const DevicePreview& preview);

}  // namespace zorix
