#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorixthumb {

struct Size {
    int32_t width = 0;
    int32_t height = 0;
};

// The size of a thumbnail of an image of `image` size that fits a box of
// `box` x `box` pixels with the image's proportions. Images that already fit keep
// their size (a thumbnail is never larger than its picture); neither side is below 1.
Size FitInBox(Size image, int32_t box);

// The command line "-s SIZE INPUT OUTPUT" (the size option may also come after the
// paths, or as "--size"); nullopt with `error` set when it is not one.
struct Request {
    int32_t size = 0;
    std::string input;
    std::string output;
};
std::optional<Request> ParseRequest(const std::vector<std::string>& args, std::string& error);

// The largest size accepted; the freedesktop sizes go up to 1024.
constexpr int32_t kMaxThumbnailSize = 4096;

}  // namespace zorixthumb
