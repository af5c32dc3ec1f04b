// zorix-thumbnailer: previews of device bitmaps for file managers, following the
// freedesktop thumbnailer convention ("-s SIZE INPUT OUTPUT.png").
#include <cstdio>
#include <cstdlib>
#include <filesystem>
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

// The engine picks the decoder by the ".bmp" extension, while file managers type device
// bitmaps by content. A device bitmap under another name is loaded through a ".bmp" link
// in a private temporary folder.
bool LoadByContent(quenda::ZorixImgEngine& engine, const std::string& input) {
    if (engine.LoadImage(input)) {
        return true;
    }
    if (!engine.IsRLE(input)) {
        return false;
    }
    std::error_code ec;
    const std::filesystem::path source = std::filesystem::absolute(input, ec);
    std::string pattern =
        (std::filesystem::temp_directory_path(ec) / "zorix-thumb-XXXXXX").string();
    if (ec || !mkdtemp(pattern.data())) {
        return false;
    }
    const std::filesystem::path folder = pattern;
    const std::filesystem::path link = folder / "source.bmp";
    std::filesystem::create_symlink(source, link, ec);
    const bool loaded = !ec && engine.LoadImage(link.string());
    std::filesystem::remove_all(folder, ec);
    return loaded;
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
    if (!LoadByContent(engine, request->input)) {
        return Fail(request->input + ": " + engine.LastFailureReason());
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
