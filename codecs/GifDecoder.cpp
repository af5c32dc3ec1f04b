#include "codecs/GifDecoder.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace quenda::gif {

namespace {

struct MemorySource {
    const uint8_t* data;
    size_t size;
    size_t at;
};

int ReadFromMemory(GifFileType* file, GifByteType* buffer, int count) {
    auto* source = static_cast<MemorySource*>(file->UserData);
    if (count <= 0) {
        return 0;
    }
    const size_t n = std::min(static_cast<size_t>(count), source->size - source->at);
    std::memcpy(buffer, source->data + source->at, n);
    source->at += n;
    return static_cast<int>(n);
}

struct GifCloser {
    void operator()(GifFileType* file) const {
        int error = 0;
        DGifCloseFile(file, &error);
    }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

// Rows of an interlaced image arrive in four passes.
struct Pass {
    int32_t first;
    int32_t step;
};
constexpr Pass kInterlacePasses[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};

bool ReadRows(GifFileType* file, uint8_t* indices, int32_t width, int32_t height) {
    auto readRow = [&](int32_t y) {
        return DGifGetLine(file, indices + static_cast<size_t>(y) * width, width) == GIF_OK;
    };
    if (!file->Image.Interlace) {
        for (int32_t y = 0; y < height; ++y) {
            if (!readRow(y)) {
                return false;
            }
        }
        return true;
    }
    for (const Pass& pass : kInterlacePasses) {
        for (int32_t y = pass.first; y < height; y += pass.step) {
            if (!readRow(y)) {
                return false;
            }
        }
    }
    return true;
}

// Moves to the first image descriptor and reads it.
bool SeekFirstImage(GifFileType* file) {
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    while (DGifGetRecordType(file, &record) == GIF_OK) {
        if (record == IMAGE_DESC_RECORD_TYPE) {
            return DGifGetImageDesc(file) == GIF_OK;
        }
        if (record != EXTENSION_RECORD_TYPE) {
            return false;
        }
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(file, &code, &block) != GIF_OK) {
            return false;
        }
        while (block != nullptr) {
            if (DGifGetExtensionNext(file, &block) != GIF_OK) {
                return false;
            }
        }
    }
    return false;
}

void CopyPalette(const ColorMapObject* map, StdPicture& out) {
    out.palette.clear();
    if (map == nullptr || map->Colors == nullptr) {
        return;
    }
    for (int i = 0; i < map->ColorCount; ++i) {
        out.palette.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
    }
}

}  // namespace

bool DecodeGifIndices(const uint8_t* data, size_t size, StdPicture& out) {
    out.clear();
    if (data == nullptr) {
        return false;
    }
    MemorySource source{data, size, 0};
    int error = 0;
    GifHandle file(DGifOpen(&source, ReadFromMemory, &error));
    if (!file || !SeekFirstImage(file.get())) {
        return false;
    }
    const int32_t width = file->Image.Width;
    const int32_t height = file->Image.Height;
    std::unique_ptr<uint8_t[]> indices = AllocatePixels(width, height, 1);
    if (!indices || !ReadRows(file.get(), indices.get(), width, height)) {
        return false;
    }
    CopyPalette(file->Image.ColorMap ? file->Image.ColorMap : file->SColorMap, out);
    out.type = StdPicture::kBitmap;
    out.width = width;
    out.height = height;
    out.indices = std::move(indices);
    return true;
}

}  // namespace quenda::gif
