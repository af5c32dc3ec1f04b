#include "imaging/DrawPipeline.h"
#include "imaging/cGDIPlus.h"

namespace quenda {

bool cGDIPlus::DrawImage(const DrawJob& job, const Surface& dest, bool highQuality,
                         uint32_t token) {
    if (!Start(token)) {
        return false;
    }
    DrawJob scaled = job;
    scaled.filter = highQuality ? ScaleFilter::Bicubic : ScaleFilter::Nearest;
    // Opacity works like a colour-matrix alpha factor composited source-over.
    scaled.blend.rule = BlendRule::Platform;
    return ExecuteDraw(scaled, dest);
}

}  // namespace quenda
