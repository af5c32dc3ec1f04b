// zorix-thumbnailer: previews of device bitmaps for file managers, following the
// freedesktop thumbnailer convention ("-s SIZE INPUT OUTPUT.png").
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/ZorixImgEngine.h"
#include "imaging/c32bppDIB.h"
#include "thumbnailer/RleThumbnail.h"
#include "thumbnailer/ThumbnailFit.h"

namespace {

// File managers draw thumbnails on light backgrounds; transparent parts show white.
constexpr int32_t kBackground = 0x00FFFFFF;

int Fail(const std::string& message) {
    std::fprintf(stderr, "zorix-thumbnailer: %s\n", message.c_str());
    return 1;
}

// Other images the engine reads go through it at their full size.
std::unique_ptr<quenda::c32bppDIB> EngineThumbnail(const std::string& input, int32_t box,
                                                   std::string& reason) {
    quenda::ZorixImgEngine engine;
    engine.setImageBgColor(kBackground);
    if (!engine.LoadImage(input)) {
        reason = engine.LastFailureReason();
        return nullptr;
    }
    const zorixthumb::Size size =
        zorixthumb::FitInBox({engine.ImageWidth(), engine.ImageHeight()}, box);
    return engine.Thumbnail(size.width, size.height, false);
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto request = zorixthumb::ParseRequest({argv + 1, argv + argc}, error);
    if (!request) {
        return Fail(error);
    }
    // Device bitmaps are taken by content, as file managers type them, whatever their
    // name, and decoded straight to the thumbnail's size.
    auto thumbnail = std::make_unique<quenda::c32bppDIB>();
    std::string reason;
    const zorixthumb::RleThumbnailStatus status = zorixthumb::MakeRleThumbnail(
        request->input, request->size, kBackground, *thumbnail, reason);
    if (status == zorixthumb::RleThumbnailStatus::NotRle) {
        thumbnail = EngineThumbnail(request->input, request->size, reason);
    }
    if (status == zorixthumb::RleThumbnailStatus::Failed || !thumbnail) {
        return Fail(request->input + ": " + reason);
    }
    if (!thumbnail->SaveToFile_PNG(request->output)) {
        return Fail(request->output + ": the thumbnail could not be written");
    }
    return 0;
}
