// zorix-thumbnailer: previews of device bitmaps for file managers, following the
// freedesktop thumbnailer convention ("-s SIZE INPUT OUTPUT.png").
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "thumbnailer/ThumbnailFit.h"

namespace {

// File managers draw thumbnails on light backgrounds; transparent parts show white.
constexpr int32_t kBackground = 0x00FFFFFF;

int Fail(const std::string& message) {
    std::fprintf(stderr, "zorix-thumbnailer: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto request = zorixthumb::ParseRequest({argv + 1, argv + argc}, error);
    if (!request) {
        return Fail(error);
    }
    quenda::ZorixImgEngine engine;
    engine.setImageBgColor(kBackground);
    if (!engine.LoadImage(request->input)) {
        return Fail(request->input + ": " +
                    (engine.LastFailureReason().empty() ? std::string("not an image")
                                                        : engine.LastFailureReason()));
    }
    const zorixthumb::Size size =
        zorixthumb::FitInBox({engine.ImageWidth(), engine.ImageHeight()}, request->size);
    const std::unique_ptr<quenda::c32bppDIB> thumbnail =
        engine.Thumbnail(size.width, size.height, false);
    if (!thumbnail || !thumbnail->SaveToFile_PNG(request->output)) {
        return Fail(request->output + ": the thumbnail could not be written");
    }
    return 0;
}
