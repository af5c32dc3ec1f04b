// Writes the device bitmaps a skin maker works with, for `make run` and manual
// testing: icons with soft transparent edges, a screen-sized menu picture, and a
// photograph-like picture beside its conversion with the default palette options.
// Every picture is drawn here and converted by the engine's own encoder.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/RLEEncoder.h"
#include "engine/ZorixImgEngineEvents.h"
#include "imaging/ColorWord.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace {

namespace fs = std::filesystem;

// The default palette options of the program.
constexpr float kDefaultAccuracy = 100.0f;
constexpr int32_t kDefaultMaxPalette = 0;

struct Rgba {
    double r, g, b, a;
};

using Painter = std::function<Rgba(double x, double y)>;

uint8_t Channel(double value) {
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

bool Draw(quenda::c32bppDIB& image, int width, int height, bool alpha, const Painter& paint) {
    if (!image.InitializeDIB(width, height)) {
        return false;
    }
    image.setAlpha(alpha);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba c = paint(x + 0.5, y + 0.5);
            image.SetPixel(x, y, quenda::ColorWord(Channel(c.r), Channel(c.g), Channel(c.b)),
                           alpha ? Channel(c.a) : 255);
        }
    }
    return true;
}

// A failed run leaves any earlier sample as it was.
bool WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    return quenda::fileio::WriteFileReplacing(path, bytes);
}

bool Convert(const quenda::c32bppDIB& image, const fs::path& path) {
    quenda::ZorixImgEngineEvents quiet;
    const quenda::RLEEncodeResult encoded =
        quenda::EncodeRLE(path.string(), image, kDefaultAccuracy, kDefaultMaxPalette, quiet);
    if (!encoded.success) {
        std::fprintf(stderr, "zorix-make-samples: %s: %s\n", path.c_str(),
                     encoded.failure.Text().c_str());
        return false;
    }
    return WriteBytes(path, encoded.bytes);
}

bool MakeDeviceBitmap(const fs::path& path, int width, int height, bool alpha,
                      const Painter& paint) {
    quenda::c32bppDIB image;
    return Draw(image, width, height, alpha, paint) && Convert(image, path);
}

// Coverage of a shape edge at signed distance `d` (negative inside), one pixel soft.
double Cover(double d) {
    return std::clamp(0.5 - d, 0.0, 1.0);
}

Rgba Over(Rgba top, Rgba bottom) {
    const double a = top.a / 255;
    return {top.r * a + bottom.r * (1 - a), top.g * a + bottom.g * (1 - a),
            top.b * a + bottom.b * (1 - a), top.a + bottom.a * (1 - a)};
}

Rgba WithCover(Rgba c, double cover) {
    return {c.r, c.g, c.b, c.a * cover};
}

// A round compass icon: a dark disc with a light rim, a red and a white needle.
Painter CompassIcon(double size) {
    return [size](double x, double y) {
        const double c = size / 2;
        const double r = std::hypot(x - c, y - c);
        const Rgba clear{0, 0, 0, 0};
        Rgba out = Over(WithCover({40, 52, 70, 255}, Cover(r - (c - 2))), clear);
        out = Over(WithCover({200, 210, 225, 255}, Cover(std::abs(r - (c - 2.5)) - 1)), out);
        // The needles: a kite split at the centre line.
        const double u = (x - c) / c;
        const double v = (y - c) / c;
        const double kite = std::abs(u) * 4 + std::abs(v) - 0.8;
        const Rgba needle = v < 0 ? Rgba{230, 40, 40, 255} : Rgba{240, 240, 240, 255};
        out = Over(WithCover(needle, Cover(kite * c / 2)), out);
        // A soft shadow below the disc.
        if (out.a < 255 && y > c) {
            out = Over(out, WithCover({0, 0, 0, 90}, Cover(r - c)));
        }
        return out;
    };
}

// A fuel pump icon: a green rounded body with a window and a hose.
Painter FuelIcon(double size) {
    return [size](double x, double y) {
        const double s = size / 24;
        const double bx = std::max({4 * s - x, x - 15 * s, 0.0});
        const double by = std::max({3 * s - y, y - 21 * s, 0.0});
        const double body = std::hypot(bx, by) - 1.5 * s;
        Rgba out = WithCover({30, 150 + y * 2, 70, 255}, Cover(body / s * 1.5));
        const bool window = x > 6 * s && x < 13 * s && y > 5 * s && y < 10 * s;
        if (window) {
            out = {220, 240, 230, 255};
        }
        const double hose = std::abs(std::hypot(x - 16 * s, y - 10 * s) - 4 * s) - 0.8 * s;
        if (x > 16 * s) {
            out = Over(WithCover({60, 60, 60, 255}, Cover(hose)), out);
        }
        return out;
    };
}

// A house icon with a half-transparent glow, for the "home" button.
Painter HomeIcon(double size) {
    return [size](double x, double y) {
        const double s = size / 16;
        const double roof = std::max(std::abs(x - 8 * s) + (y - 8 * s) * 1.0, 2 * s - y);
        const double walls = std::max({3 * s - x, x - 13 * s, 8 * s - y, y - 14 * s});
        Rgba out{255, 200, 60, 70 * Cover((std::min(roof, walls) - 1.5 * s) / s)};
        out = Over(WithCover({180, 60, 40, 255}, Cover(roof / s * 2 - 0.5)), out);
        out = Over(WithCover({240, 230, 210, 255}, Cover(walls / s * 2)), out);
        const bool door = x > 7 * s && x < 9.5 * s && y > 10.5 * s && y < 14 * s;
        return door ? Rgba{110, 70, 40, 255} : out;
    };
}

// A 320 x 240 menu screen: a header gradient, two columns of buttons, a status bar.
Rgba MenuScreen(double x, double y) {
    if (y < 28) {
        return {20, 60 + y * 3, 140 + y * 2, 255};
    }
    if (y > 220) {
        return {30, 30, 36, 255};
    }
    const int column = x < 160 ? 0 : 1;
    const int row = static_cast<int>((y - 36) / 46);
    const double cx = column * 160 + 80;
    const double cy = 36 + row * 46 + 20;
    const double dx = std::max(std::abs(x - cx) - 64, 0.0);
    const double dy = std::max(std::abs(y - cy) - 14, 0.0);
    const double edge = std::hypot(dx, dy) - 4;
    const Rgba button{70 + (cy - y) * 2, 110 + (cy - y) * 2, 170, 255};
    const Rgba back{225 - y / 8, 228 - y / 8, 235 - y / 8, 255};
    return row >= 0 && row < 4 ? Over(WithCover(button, Cover(edge)), back) : back;
}

// Cheap repeatable noise in -1..1 from a pixel position.
double Noise(int x, int y) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFF) / 32767.5 - 1;
}

// A photograph-like landscape: sky, sun glow, hills, a lake and a little grain.
Rgba Landscape(double x, double y) {
    const double sky = y / 150;
    Rgba out{90 + 110 * sky, 140 + 70 * sky, 230 - 30 * sky, 255};
    const double glow = std::exp(-std::pow(std::hypot(x - 240, y - 60) / 45, 2));
    out = {out.r + 120 * glow, out.g + 90 * glow, out.b + 20 * glow, 255};
    const double far = 130 + 18 * std::sin(x / 37) + 9 * std::sin(x / 13 + 1);
    const double near = 165 + 22 * std::sin(x / 61 + 2) + 6 * std::sin(x / 9);
    if (y > far) {
        out = {70 + (y - far) * 0.6, 100 + (y - far) * 0.4, 120, 255};
    }
    if (y > near) {
        out = {50 + 20 * std::sin(x / 7), 110 + (y - near) * 0.8, 40, 255};
    }
    if (y > 205) {
        const double wave = std::sin(x / 5 + y) * 6;
        out = {40 + wave, 90 + (y - 205) + wave, 150 + wave, 255};
    }
    const double grain = 3 * Noise(static_cast<int>(x), static_cast<int>(y));
    return {out.r + grain, out.g + grain, out.b + grain, 255};
}

bool MakePhoto(const fs::path& dir) {
    quenda::c32bppDIB photo;
    if (!Draw(photo, 320, 240, false, Landscape)) {
        return false;
    }
    return photo.SaveToFile_PNG(dir / "photo.png") && Convert(photo, dir / "photo.bmp");
}

const char kUsage[] =
    "Usage: zorix-make-samples [FOLDER]\n"
    "Writes sample device bitmaps (icons, a menu screen, a photograph beside its conversion)\n"
    "into FOLDER (default: samples), creating it when needed.\n"
    "  -h, --help  show this help and exit\n";

// The output folder named on the command line, or nothing after --help or a usage error
// (exitCode says which). An argument after "--" is a folder even when it begins with "-".
std::optional<fs::path> ParseArguments(int argc, char** argv, int& exitCode) {
    std::optional<fs::path> folder;
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
    return folder ? folder : fs::path("samples");
}

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    const std::optional<fs::path> folder = ParseArguments(argc, argv, exitCode);
    if (!folder) {
        return exitCode;
    }
    const fs::path& dir = *folder;
    std::error_code ec;
    fs::create_directories(dir, ec);
    const bool ok = MakeDeviceBitmap(dir / "icon-compass.bmp", 32, 32, true, CompassIcon(32)) &&
                    MakeDeviceBitmap(dir / "icon-fuel.bmp", 24, 24, true, FuelIcon(24)) &&
                    MakeDeviceBitmap(dir / "icon-home.bmp", 16, 16, true, HomeIcon(16)) &&
                    MakeDeviceBitmap(dir / "screen-menu.bmp", 320, 240, false, MenuScreen) &&
                    MakePhoto(dir);
    if (!ok) {
        std::fprintf(stderr, "zorix-make-samples: cannot write samples into %s\n", dir.c_str());
        return 1;
    }
    return 0;
}
