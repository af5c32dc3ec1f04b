#include "thumbnailer/ThumbnailFit.h"

#include <algorithm>
#include <charconv>

#include "imaging/FitInside.h"

namespace zorixthumb {

namespace {

std::optional<int32_t> ParseSize(const std::string& text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < 1 || value > kMaxThumbnailSize) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

Size FitInBox(Size image, int32_t box) {
    if (image.width <= 0 || image.height <= 0 || box <= 0) {
        return {};
    }
    const quenda::Extent fitted = quenda::FitInside({image.width, image.height}, {box, box});
    return {fitted.width, fitted.height};
}

std::optional<Request> ParseRequest(const std::vector<std::string>& args, std::string& error) {
    Request request;
    std::vector<std::string> paths;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a != "-s" && a != "--size") {
            paths.push_back(a);
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "missing value for " + a;
            return std::nullopt;
        }
        const auto size = ParseSize(args[++i]);
        if (!size) {
            error =
                "invalid size '" + args[i] + "' (1 to " + std::to_string(kMaxThumbnailSize) + ")";
            return std::nullopt;
        }
        request.size = *size;
    }
    if (request.size == 0 || paths.size() != 2) {
        error = "usage: zorix-thumbnailer -s SIZE INPUT OUTPUT.png";
        return std::nullopt;
    }
    request.input = paths[0];
    request.output = paths[1];
    return request;
}

}  // namespace zorixthumb
