// Writes a few device bitmaps for `make run` and manual testing.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/modColor.h"
#include "platform/FileIO.h"
#include "support/RLEBuilder.h"

namespace {

struct Entry {
    uint16_t color;
    uint8_t alpha33;
    bool operator<(const Entry& o) const {
        return color != o.color ? color < o.color : alpha33 < o.alpha33;
    }
};

// Palette-indexes an image given per pixel as (RGB565, 33-level alpha); alpha 0
// pixels become the transparent entry.
class SampleImage {
  public:
    SampleImage(int width, int height, bool hasAlpha) : width_(width), height_(height) {
        builder_.hasAlpha = hasAlpha;
        builder_.width = width;
        builder_.height = height;
        builder_.alphas.push_back(0);
        codes_.assign(static_cast<size_t>(width) * height, 0);
    }
    void Set(int x, int y, uint32_t rgb, uint8_t alpha255) {
        const Entry e{quenda::RGBTo565(rgb), quenda::AlphaTo33(alpha255)};
        if (e.alpha33 == 0 || (!builder_.hasAlpha && e.color == 0)) {
            return;
        }
        auto [it, added] = index_.emplace(e, static_cast<uint8_t>(index_.size() + 1));
        if (added) {
            builder_.colors.push_back(e.color);
            builder_.alphas.push_back(e.alpha33);
        }
        codes_[static_cast<size_t>(y) * width_ + x] = it->second;
    }
    bool Write(const std::filesystem::path& path) {
        if (index_.size() > 250) {
            return false;
        }
        for (int y = 0; y < height_; ++y) {
            const auto row = codes_.begin() + static_cast<long>(y) * width_;
            builder_.rows.push_back(testsupport::EncodeCodesRow({row, row + width_}));
        }
        const std::vector<uint8_t> bytes = builder_.Build();
        // A failed run leaves any earlier sample as it was.
        return quenda::fileio::WriteFileReplacing(path, bytes);
    }

  private:
    int width_, height_;
    testsupport::RLEBuilder builder_;
    std::map<Entry, uint8_t> index_;
    std::vector<uint8_t> codes_;
};

uint32_t Rgb(int r, int g, int b) {
    return static_cast<uint32_t>(r | (g << 8) | (b << 16));
}

bool MakeSunset(const std::filesystem::path& path) {
    SampleImage img(160, 120, false);
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x) {
            const int band = y * 12 / 120;
            const bool sun = std::hypot(x - 80, y - 78) < 26;
            img.Set(x, y,
                    sun ? Rgb(255, 220 - band * 6, 40)
                        : Rgb(40 + band * 17, 30 + band * 9, 120 - band * 8),
                    255);
        }
    }
    return img.Write(path);
}

bool MakeBadge(const std::filesystem::path& path) {
    SampleImage img(64, 64, true);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const double d = std::hypot(x - 31.5, y - 31.5);
            const double edge = std::clamp(30.0 - d, 0.0, 1.0);
            const int ring = static_cast<int>(d / 6);
            img.Set(x, y, ring % 2 ? Rgb(20, 120, 220) : Rgb(250, 250, 250),
                    static_cast<uint8_t>(edge * 255));
        }
    }
    return img.Write(path);
}

bool MakeArrow(const std::filesystem::path& path) {
    SampleImage img(300, 40, true);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 300; ++x) {
            const bool shaft = x < 240 && y >= 14 && y < 26;
            const bool head = x >= 240 && std::abs(y - 20) < (300 - x) / 3;
            if (shaft || head) {
                img.Set(x, y, Rgb(30 + x / 3, 160, 60), 255);
            } else if (y >= 34) {
                img.Set(x, y, Rgb(0, 0, 0), 96);  // shadow
            }
        }
    }
    return img.Write(path);
}

const char kUsage[] =
    "Usage: zorix-make-samples [FOLDER]\n"
    "Writes three sample device bitmaps (sunset.bmp, badge.bmp, arrow.bmp) into FOLDER\n"
    "(default: samples), creating it when needed.\n"
    "  -h, --help  show this help and exit\n";

// The output folder named on the command line, or nothing after --help or a usage error
// (exitCode says which). An argument after "--" is a folder even when it begins with "-".
std::optional<std::filesystem::path> ParseArguments(int argc, char** argv, int& exitCode) {
    std::optional<std::filesystem::path> folder;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (!optionsEnded && (arg == "-h" || arg == "--help")) {
            std::fputs(kUsage, stdout);
            exitCode = 0;
            return std::nullopt;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "zorix-make-samples: unknown option %s\n%s", arg.c_str(), kUsage);
            exitCode = 2;
            return std::nullopt;
        }
        if (folder) {
            std::fprintf(stderr, "zorix-make-samples: one folder only\n%s", kUsage);
            exitCode = 2;
            return std::nullopt;
        }
        folder = arg;
    }
    return folder ? folder : std::filesystem::path("samples");
}

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    const std::optional<std::filesystem::path> dir = ParseArguments(argc, argv, exitCode);
    if (!dir) {
        return exitCode;
    }
    std::error_code ec;
    std::filesystem::create_directories(*dir, ec);
    const bool ok = MakeSunset(*dir / "sunset.bmp") && MakeBadge(*dir / "badge.bmp") &&
                    MakeArrow(*dir / "arrow.bmp");
    if (!ok) {
        std::fprintf(stderr, "zorix-make-samples: cannot write samples into %s\n", dir->c_str());
        return 1;
    }
    return 0;
}
