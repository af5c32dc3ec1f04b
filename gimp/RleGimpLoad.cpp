#include "gimp/RleGimpLoad.h"

#include <algorithm>
#include <vector>

#include "gimp/RleImport.h"
#include "imaging/StraightRgba.h"
#include "imaging/c32bppDIB.h"

namespace zorixgimp {

namespace {

// Rows converted at a time, so the straight copy stays small beside the image.
constexpr int32_t kStripRows = 64;

bool FillLayer(const quenda::c32bppDIB& image, gint32 layer) {
    GeglBuffer* buffer = gimp_drawable_get_buffer(layer);
    if (buffer == nullptr) {
        return false;
    }
    const int32_t width = image.Width();
    const size_t stride = static_cast<size_t>(image.scanWidth());
    std::vector<uint8_t> strip(stride * kStripRows);
    const Babl* format = babl_format("R'G'B'A u8");
    bool ok = true;
    for (int32_t y = 0; ok && y < image.Height(); y += kStripRows) {
        const int32_t rows = std::min(kStripRows, image.Height() - y);
        ok = quenda::CopyRowsToStraightRgba(image, y, rows, strip.data(), stride);
        if (ok) {
            const GeglRectangle rect = {0, y, width, rows};
            gegl_buffer_set(buffer, &rect, 0, format, strip.data(), static_cast<gint>(stride));
        }
    }
    g_object_unref(buffer);
    return ok;
}

}  // namespace

GimpOutcome LoadDeviceBitmap(const char* fileName) {
    quenda::c32bppDIB image;
    std::string reason;
    if (!DecodeDeviceFile(fileName, image, reason)) {
        return GimpOutcome::Failed(GIMP_PDB_EXECUTION_ERROR,
                                   "Could not open '" + std::string(fileName) + "': " + reason);
    }
    const gint32 imageId = gimp_image_new(image.Width(), image.Height(), GIMP_RGB);
    if (imageId < 0) {
        return GimpOutcome::Failed(GIMP_PDB_EXECUTION_ERROR, "GIMP could not make the image");
    }
    gimp_image_set_filename(imageId, fileName);
    const gint32 layer =
        gimp_layer_new(imageId, "Background", image.Width(), image.Height(), GIMP_RGBA_IMAGE, 100.0,
                       gimp_image_get_default_new_layer_mode(imageId));
    if (layer < 0 || !gimp_image_insert_layer(imageId, layer, -1, 0) || !FillLayer(image, layer)) {
        gimp_image_delete(imageId);
        return GimpOutcome::Failed(GIMP_PDB_EXECUTION_ERROR, "GIMP could not fill the layer");
    }
    GimpOutcome outcome;
    outcome.image = imageId;
    return outcome;
}

}  // namespace zorixgimp
