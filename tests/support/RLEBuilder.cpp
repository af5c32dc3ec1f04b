#include "support/RLEBuilder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace testsupport {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

}  // namespace

std::vector<uint8_t> RLEBuilder::Build() const {
    std::vector<uint8_t> out = {'R', 'L'};
    out.push_back(hasAlpha ? 1 : 0);
    out.push_back(0);
    Put16(out, static_cast<uint32_t>(width));
    Put16(out, static_cast<uint32_t>(height));
    const uint32_t n = entryCount >= 0 ? static_cast<uint32_t>(entryCount)
                                       : static_cast<uint32_t>(colors.size() + 1);
    Put16(out, n);
    Put16(out, static_cast<uint32_t>(rowCount >= 0 ? rowCount : height));
    out.push_back(0x1F);
    out.push_back(0xF8);
    for (uint16_t c : colors) {
        Put16(out, c);
    }
    if (hasAlpha) {
        out.insert(out.end(), alphas.begin(), alphas.end());
    }
    for (const auto& row : rows) {
        if (row.size() < 255) {
            out.push_back(static_cast<uint8_t>(row.size()));
        } else {
            out.push_back(0xFF);
            out.push_back(static_cast<uint8_t>(row.size() >> 8));
            out.push_back(static_cast<uint8_t>(row.size() & 0xFF));
        }
    }
    for (const auto& row : rows) {
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> EncodeCodesRow(const std::vector<uint8_t>& codes) {
    std::vector<uint8_t> out;
    auto flush = [&out](uint8_t v, int m) {
        if (m < 4) {
            out.insert(out.end(), static_cast<size_t>(m), v);
        } else if (v != 0) {
            out.insert(out.end(), {0xFE, v, static_cast<uint8_t>(m)});
        } else {
            out.insert(out.end(), {0xFF, static_cast<uint8_t>(m)});
        }
    };
    for (size_t i = 0; i < codes.size();) {
        size_t j = i;
        while (j < codes.size() && codes[j] == codes[i] && j - i < 255) {
            ++j;
        }
        flush(codes[i], static_cast<int>(j - i));
        i = j;
    }
    return out;
}

std::vector<uint8_t> ColourfulRowFile() {
    RLEBuilder b;
    b.width = 260;
    b.height = 1;
    for (int i = 1; i <= 260; ++i) {
        b.colors.push_back(static_cast<uint16_t>(i * 97));
    }
    std::vector<uint8_t> row;
    for (int code = 1; code <= 251; ++code) {
        row.push_back(static_cast<uint8_t>(code));
    }
    row.insert(row.end(), {0xFD, 9, 0});
    for (int code = 243; code <= 251; ++code) {
        row.push_back(static_cast<uint8_t>(code));
    }
    b.rows = {row};
    return b.Build();
}

std::string MakeTempDir(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    return pattern;
}

std::string WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    static const std::string dir = MakeTempDir("zorix-test");
    const std::string path = dir + "/" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::vector<uint8_t> VariedAlphaFile(int32_t width, int32_t height) {
    RLEBuilder b;
    b.hasAlpha = true;
    b.width = width;
    b.height = height;
    b.alphas.push_back(0);
    for (int i = 1; i <= 250; ++i) {
        b.colors.push_back(static_cast<uint16_t>(i * 263));
        b.alphas.push_back(static_cast<uint8_t>(i % 33));
    }
    for (int32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> codes(static_cast<size_t>(width));
        for (int32_t x = 0; x < width; ++x) {
            codes[static_cast<size_t>(x)] = static_cast<uint8_t>((x + y) % 251);
        }
        b.rows.push_back(EncodeCodesRow(codes));
    }
    return b.Build();
}

std::vector<uint8_t> RandomRunsFile(int32_t width, int32_t height, int32_t minRun, int32_t spread,
                                    uint32_t seed) {
    RLEBuilder b;
    b.width = width;
    b.height = height;
    b.hasAlpha = true;
    std::mt19937 random(seed);
    for (int i = 1; i <= 200; ++i) {
        b.colors.push_back(static_cast<uint16_t>(random()));
    }
    b.alphas.assign(201, 32);
    b.alphas[0] = 0;
    for (int32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int32_t x = 0; x < width;) {
            const auto n = static_cast<uint8_t>(std::min<int32_t>(
                minRun + static_cast<int32_t>(random() % static_cast<uint32_t>(spread)),
                width - x));
            const auto code = static_cast<uint8_t>(random() % 10 == 0 ? 0 : 1 + random() % 200);
            if (n < 4) {
                row.insert(row.end(), n, code);
            } else if (code == 0) {
                row.insert(row.end(), {0xFF, n});
            } else {
                row.insert(row.end(), {0xFE, code, n});
            }
            x += n;
        }
        b.rows.push_back(std::move(row));
    }
    return b.Build();
}

}  // namespace testsupport
