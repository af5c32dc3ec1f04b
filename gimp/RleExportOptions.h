#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/RLEEncoder.h"

namespace quenda {
class c32bppDIB;
}

namespace zorixgimp {

// The palette options of one export, as the program and zorix-cli take them.
struct RleExportOptions {
    float accuracy = 100.0f;  // 90..100
    int32_t maxPalette = 0;   // 0..9999, 0 = no limit
    bool best = false;        // the best-quality colour reduction
    bool dither = false;      // error diffusion with the best-quality reduction
};

// The ranges a caller of the export procedure must keep to.
bool IsValidAccuracy(double accuracy);
bool IsValidMaxPalette(int32_t maxPalette);
bool IsValidFlag(int32_t flag);

// The program's settings file: $XDG_CONFIG_HOME/vk-Dev/Zorix.conf, or under ~/.config.
// Empty when neither variable gives a folder.
std::filesystem::path SettingsFilePath();

// The stored palette options from the settings file's text, with the program's rules:
// text that is not a number in range gives the default.
RleExportOptions ParseStoredOptions(std::string_view settingsText);
// The same from the file; defaults when it cannot be read.
RleExportOptions ReadStoredOptions(const std::filesystem::path& settingsFile);

// Encodes the image as the engine's save does with these options.
quenda::RLEEncodeResult EncodeWithOptions(const std::string& fileName,
                                          const quenda::c32bppDIB& image,
                                          const RleExportOptions& options);

}  // namespace zorixgimp
