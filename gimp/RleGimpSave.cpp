#include "gimp/RleGimpSave.h"

#include <algorithm>
#include <vector>

#include "imaging/StraightRgba.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace zorixgimp {

namespace {

constexpr int32_t kStripRows = 64;

// The drawable's pixels in the engine's buffer, as its readers would hold the same
// pixels: premultiplied, with alpha when the drawable has an alpha channel.
bool ReadDrawable(gint32 drawable, quenda::c32bppDIB& image) {
    GeglBuffer* buffer = gimp_drawable_get_buffer(drawable);
    if (buffer == nullptr) {
        return false;
    }
    const int32_t width = gegl_buffer_get_width(buffer);
    const int32_t height = gegl_buffer_get_height(buffer);
    bool ok = image.InitializeDIB(width, height);
    const size_t stride = static_cast<size_t>(width) * 4;
    std::vector<uint8_t> strip;
    if (ok) {
        strip.resize(stride * kStripRows);
    }
    const Babl* format = babl_format("R'G'B'A u8");
    for (int32_t y = 0; ok && y < height; y += kStripRows) {
        const int32_t rows = std::min(kStripRows, height - y);
        const GeglRectangle rect = {0, y, width, rows};
        gegl_buffer_get(buffer, &rect, 1.0, format, strip.data(), static_cast<gint>(stride),
                        GEGL_ABYSS_NONE);
        for (int32_t r = 0; ok && r < rows; ++r) {
            ok = quenda::StoreStraightRgbaRow(strip.data() + stride * r, y + r, image);
        }
    }
    g_object_unref(buffer);
    image.setAlpha(gimp_drawable_has_alpha(drawable));
    return ok;
}

std::string Quoted(const char* fileName) {
    return "'" + std::string(fileName) + "'";
}

}  // namespace

GimpOutcome SaveDeviceBitmap(gint32 drawable, const char* fileName,
                             const RleExportOptions& options) {
    quenda::c32bppDIB image;
    if (!ReadDrawable(drawable, image)) {
        return GimpOutcome::Failed(
            GIMP_PDB_EXECUTION_ERROR,
            "Could not export " + Quoted(fileName) + ": the picture is too large for memory");
    }
    const quenda::RLEEncodeResult encoded = EncodeWithOptions(fileName, image, options);
    if (!encoded.success || encoded.bytes.size() < 2) {
        const std::string reason = encoded.failure.Text();
        return GimpOutcome::Failed(GIMP_PDB_EXECUTION_ERROR,
                                   "Could not export " + Quoted(fileName) + ": " + reason);
    }
    if (!quenda::fileio::WriteFileReplacing(fileName, encoded.bytes)) {
        return GimpOutcome::Failed(GIMP_PDB_EXECUTION_ERROR,
                                   "Could not write " + Quoted(fileName) + ": " +
                                       quenda::fileio::LastWriteFailure().Text());
    }
    return {};
}

}  // namespace zorixgimp
