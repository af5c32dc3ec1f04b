#include "PngTestSupport.h"

#include <png.h>
#include <zlib.h>

#include <cstdlib>
#include <cstring>

namespace pngtest {

namespace {

struct MemoryReader {
    const std::vector<uint8_t>* data;
    size_t pos = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t n) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (reader->pos + n > reader->data->size()) {
        png_error(png, "read past the end");
    }
    std::memcpy(out, reader->data->data() + reader->pos, n);
    reader->pos += n;
}

void WriteToMemory(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + n);
}

void FlushNothing(png_structp) {}

void QuietWarning(png_structp, png_const_charp) {}

int Channels(int colorType) {
    switch (colorType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

uint8_t Premultiply(uint8_t c, uint8_t a) {
    return static_cast<uint8_t>(c * a / 255);
}

void PutPixel(uint8_t* d, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    if (a == 0) {
        std::memset(d, 0, 4);
        return;
    }
    d[0] = a == 255 ? b : Premultiply(b, a);
    d[1] = a == 255 ? g : Premultiply(g, a);
    d[2] = a == 255 ? r : Premultiply(r, a);
    d[3] = a;
}

uint8_t KeyByte(uint16_t value, int depth) {
    return static_cast<uint8_t>(depth == 16 ? value >> 8 : value & 0xFF);
}

}  // namespace

bool ReadWithLibpng(const std::vector<uint8_t>& bytes, RawImage& out) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, QuietWarning);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&bytes};
    std::vector<png_bytep> pointers;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    out = RawImage{};
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.bitDepth = png_get_bit_depth(png, info);
    out.colorType = png_get_color_type(png, info);
    out.channels = Channels(out.colorType);
    if (out.bitDepth < 8) {
        png_set_packing(png);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t rowBytes = png_get_rowbytes(png, info);
    out.rows.assign(out.height, std::vector<uint8_t>(rowBytes));
    for (auto& row : out.rows) {
        pointers.push_back(row.data());
    }
    png_read_image(png, pointers.data());
    png_colorp palette = nullptr;
    int paletteSize = 0;
    if (png_get_PLTE(png, info, &palette, &paletteSize) == PNG_INFO_PLTE) {
        for (int i = 0; i < paletteSize; ++i) {
            out.palette.push_back({palette[i].red, palette[i].green, palette[i].blue});
        }
    }
    png_bytep transAlpha = nullptr;
    int transCount = 0;
    png_color_16p transColor = nullptr;
    if (png_get_tRNS(png, info, &transAlpha, &transCount, &transColor) == PNG_INFO_tRNS) {
        if (out.colorType == 3) {
            out.paletteAlpha.assign(transAlpha, transAlpha + transCount);
        } else if (out.colorType == 0) {
            out.key = std::array<uint16_t, 3>{transColor->gray, 0, 0};
        } else if (out.colorType == 2) {
            out.key = std::array<uint16_t, 3>{transColor->red, transColor->green, transColor->blue};
        }
    }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::vector<uint8_t> ExpectedBGRA(const RawImage& raw, bool* alpha) {
    std::vector<uint8_t> out(size_t{raw.width} * raw.height * 4, 0);
    const int sampleBytes = raw.bitDepth == 16 ? 2 : 1;
    for (uint32_t y = 0; y < raw.height; ++y) {
        const std::vector<uint8_t>& row = raw.rows[y];
        for (uint32_t x = 0; x < raw.width; ++x) {
            auto sample = [&](int c) { return row[(size_t{x} * raw.channels + c) * sampleBytes]; };
            uint8_t* d = &out[(size_t{y} * raw.width + x) * 4];
            switch (raw.colorType) {
                case 0: {
                    const uint8_t v = sample(0);
                    if (raw.key && v == KeyByte((*raw.key)[0], raw.bitDepth)) {
                        break;
                    }
                    const uint8_t grey =
                        raw.bitDepth < 8
                            ? static_cast<uint8_t>(v * (255 / ((1 << raw.bitDepth) - 1)))
                            : v;
                    PutPixel(d, grey, grey, grey, 255);
                    break;
                }
                case 2: {
                    const uint8_t r = sample(0), g = sample(1), b = sample(2);
                    if (raw.key && r == KeyByte((*raw.key)[0], raw.bitDepth) &&
                        g == KeyByte((*raw.key)[1], raw.bitDepth) &&
                        b == KeyByte((*raw.key)[2], raw.bitDepth)) {
                        break;
                    }
                    PutPixel(d, r, g, b, 255);
                    break;
                }
                case 3: {
                    const uint8_t i = sample(0);
                    const auto& c = raw.palette.at(i);
                    const uint8_t a = i < raw.paletteAlpha.size() ? raw.paletteAlpha[i] : 255;
                    PutPixel(d, c[0], c[1], c[2], a);
                    break;
                }
                case 4:
                    PutPixel(d, sample(0), sample(0), sample(0), sample(1));
                    break;
                case 6:
                    PutPixel(d, sample(0), sample(1), sample(2), sample(3));
                    break;
            }
        }
    }
    if (alpha) {
        *alpha = raw.colorType == 4 || raw.colorType == 6 || raw.key.has_value() ||
                 !raw.paletteAlpha.empty();
    }
    return out;
}

bool DecodeRGBAWithLibpng(const std::vector<uint8_t>& bytes, uint32_t& width, uint32_t& height,
                          std::vector<uint8_t>& rgba) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, QuietWarning);
    png_infop info = png_create_info_struct(png);
    MemoryReader reader{&bytes};
    std::vector<png_bytep> pointers;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    rgba.assign(size_t{width} * height * 4, 0);
    for (uint32_t y = 0; y < height; ++y) {
        pointers.push_back(rgba.data() + size_t{y} * width * 4);
    }
    png_read_image(png, pointers.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

std::vector<uint8_t> EncodeWithLibpng(const EncodeSpec& spec) {
    std::vector<uint8_t> out;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, QuietWarning);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> pointers;
    std::vector<png_color> palette;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, WriteToMemory, FlushNothing);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
                 spec.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (const auto& c : spec.palette) {
        palette.push_back({c[0], c[1], c[2]});
    }
    if (!palette.empty()) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    if (!spec.paletteAlpha.empty()) {
        png_set_tRNS(png, info, spec.paletteAlpha.data(),
                     static_cast<int>(spec.paletteAlpha.size()), nullptr);
    } else if (spec.key) {
        png_color_16 color{};
        color.gray = (*spec.key)[0];
        color.red = (*spec.key)[0];
        color.green = (*spec.key)[1];
        color.blue = (*spec.key)[2];
        png_set_tRNS(png, info, nullptr, 0, &color);
    }
    png_write_info(png, info);
    if (spec.interlace) {
        png_set_interlace_handling(png);
    }
    for (const auto& row : spec.rows) {
        pointers.push_back(const_cast<png_bytep>(row.data()));
    }
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

size_t RowBytes(uint32_t width, int bitDepth, int colorType) {
    return (size_t{width} * bitDepth * Channels(colorType) + 7) / 8;
}

uint32_t Crc(const char* type, const std::vector<uint8_t>& data) {
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    return static_cast<uint32_t>(crc32(crc, data.data(), static_cast<uInt>(data.size())));
}

static void AppendBE32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 3; i >= 0; --i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

ChunkList::ChunkList() : bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A} {}

ChunkList& ChunkList::AddWithCrc(const char* type, const std::vector<uint8_t>& data, uint32_t crc) {
    AppendBE32(bytes, static_cast<uint32_t>(data.size()));
    bytes.insert(bytes.end(), type, type + 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    AppendBE32(bytes, crc);
    return *this;
}

ChunkList& ChunkList::Add(const char* type, const std::vector<uint8_t>& data) {
    return AddWithCrc(type, data, Crc(type, data));
}

ChunkList& ChunkList::Header(uint32_t width, uint32_t height, uint8_t depth, uint8_t colorType,
                             uint8_t interlace) {
    std::vector<uint8_t> data;
    AppendBE32(data, width);
    AppendBE32(data, height);
    data.insert(data.end(), {depth, colorType, 0, 0, interlace});
    return Add("IHDR", data);
}

ChunkList& ChunkList::End() {
    return Add("IEND", {});
}

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data, int level) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), level);
    out.resize(size);
    return out;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> ListChunks(
    const std::vector<uint8_t>& png) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> chunks;
    size_t pos = 8;
    while (pos + 12 <= png.size()) {
        const uint32_t len = (uint32_t{png[pos]} << 24) | (uint32_t{png[pos + 1]} << 16) |
                             (uint32_t{png[pos + 2]} << 8) | png[pos + 3];
        if (pos + 12 + len > png.size()) {
            break;
        }
        chunks.emplace_back(
            std::string(png.begin() + pos + 4, png.begin() + pos + 8),
            std::vector<uint8_t>(png.begin() + pos + 8, png.begin() + pos + 8 + len));
        pos += 12 + len;
    }
    return chunks;
}

std::vector<uint8_t> TopDownPixels(const quenda::c32bppDIB& image) {
    std::vector<uint8_t> out;
    for (int32_t y = 0; y < image.Height(); ++y) {
        const uint8_t* row = image.BitsPointer() + image.PixelOffset(0, y);
        out.insert(out.end(), row, row + image.scanWidth());
    }
    return out;
}

std::filesystem::path CorpusDir() {
    if (const char* env = std::getenv("ZORIX_CORPUS_DIR")) {
        return std::filesystem::path(env) / "pngsuite";
    }
    // The suite travels with the project's own test data.
    return std::filesystem::path(ZORIX_SOURCE_DIR) / "tests" / "data" / "pngsuite";
}

}  // namespace pngtest
