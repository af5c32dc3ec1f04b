#include "gimp/RleExportOptions.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/PaletteLimits.h"
#include "engine/ZorixImgEngineEvents.h"

namespace zorixgimp {

namespace {

constexpr size_t kLargestSettingsFile = 1 << 20;

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A value as the settings store writes it: plain, or in double quotes.
std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// A finite decimal number with optional blanks and sign, or nothing.
bool ParseNumber(std::string_view text, double& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           std::isfinite(value);
}

// The value of `key` in the [General] section (the settings store's top level).
bool FindGeneralValue(std::string_view text, std::string_view key, std::string_view& value) {
    bool inGeneral = false;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.front() == '[') {
            inGeneral = line == "[General]";
            continue;
        }
        const size_t eq = line.find('=');
        if (inGeneral && eq != std::string_view::npos && Trim(line.substr(0, eq)) == key) {
            value = Unquote(Trim(line.substr(eq + 1)));
            return true;
        }
    }
    return false;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsValidAccuracy(double accuracy) {
    return accuracy >= quenda::kMinColorAccuracy && accuracy <= quenda::kMaxColorAccuracy;
}

bool IsValidMaxPalette(int32_t maxPalette) {
    return maxPalette >= 0 && maxPalette <= quenda::kMaxPaletteLimit;
}

bool IsValidFlag(int32_t flag) {
    return flag == 0 || flag == 1;
}

std::filesystem::path SettingsFilePath() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    std::filesystem::path folder;
    if (configHome != nullptr && *configHome == '/') {
        folder = configHome;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        folder = std::filesystem::path(home) / ".config";
    } else {
        return {};
    }
    return folder / "vk-Dev" / "Zorix.conf";
}

RleExportOptions ParseStoredOptions(std::string_view settingsText) {
    RleExportOptions options;
    std::string_view text;
    double number = 0.0;
    if (FindGeneralValue(settingsText, "ColorAccuracy", text) && ParseNumber(text, number) &&
        IsValidAccuracy(number)) {
        options.accuracy = static_cast<float>(number);
    }
    if (FindGeneralValue(settingsText, "MaxPaletteSize", text) && ParseNumber(text, number) &&
        number >= 0.0 && number <= quenda::kMaxPaletteLimit) {
        // Halves go to the even neighbour, as the program reads them.
        options.maxPalette = static_cast<int32_t>(std::nearbyint(number));
    }
    if (FindGeneralValue(settingsText, "Reduction", text)) {
        options.best = EqualsIgnoringCase(Trim(text), "best");
    }
    if (FindGeneralValue(settingsText, "Dither", text)) {
        options.dither = Trim(text) == "1";
    }
    return options;
}

RleExportOptions ReadStoredOptions(const std::filesystem::path& settingsFile) {
    if (settingsFile.empty()) {
        return {};
    }
    std::ifstream in(settingsFile, std::ios::binary);
    if (!in) {
        return {};
    }
    std::string text(kLargestSettingsFile, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<size_t>(in.gcount()));
    return ParseStoredOptions(text);
}

quenda::RLEEncodeResult EncodeWithOptions(const std::string& fileName,
                                          const quenda::c32bppDIB& image,
                                          const RleExportOptions& options) {
    quenda::RLEEncodeOptions encode;
    encode.reduction = options.best ? quenda::RLEReduction::Best : quenda::RLEReduction::Classic;
    encode.dither = options.best && options.dither;
    quenda::ZorixImgEngineEvents silent;
    return quenda::EncodeRLE(fileName, image, options.accuracy, options.maxPalette, encode, silent);
}

}  // namespace zorixgimp
