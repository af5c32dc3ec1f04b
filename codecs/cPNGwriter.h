#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "imaging/PngProperties.h"

namespace quenda {

class c32bppDIB;

namespace png {
struct ColorForm;
}

// Writes a c32bppDIB as PNG (8 bits a sample, not interlaced, compressed at level 9)
// and keeps the properties a buffer attaches to its PNGs: ten standard text keywords,
// custom keywords, a modification time, a background colour and the filter choice.
class cPNGwriter {
  public:
    // To the file when fileName is not empty (replacing it only when complete), else
    // into out, sized exactly. False without an image or zlib, or on any error.
    bool Write(const c32bppDIB& image, const std::filesystem::path& fileName,
               std::vector<uint8_t>& out) const;

    // True when stored. keyword names the entry of PNGP_CUSTOM.
    bool SetProperty(int32_t id, const PngValue& value, const std::string& keyword = {});
    // Text, date or number; see PngPropertyId for the defaults of unset properties.
    PngValue GetProperty(int32_t id, const std::string& keyword = {}) const;
    // True when the identifier is valid and the property was set.
    bool RemoveProperty(int32_t id, const std::string& keyword = {});

  private:
    struct CustomEntry {
        std::u32string keyword;
        std::u32string text;
    };

    bool SetText(int32_t id, const std::u32string& text);
    bool SetCustom(const PngValue& value, const std::string& keyword);
    bool SetDate(const PngValue& value);
    bool SetNumber(int32_t id, const PngValue& value);
    int32_t FilterChoice() const;
    bool IsSet(int32_t id) const { return (setFlags_ & static_cast<uint32_t>(id)) != 0; }

    bool Encode(const c32bppDIB& image, std::vector<uint8_t>& png) const;
    bool CompressImage(const c32bppDIB& image, const png::ColorForm& form,
                       std::vector<uint8_t>& data) const;
    void AppendText(std::vector<uint8_t>& png, const std::u32string& keyword,
                    const std::u32string& text, bool allowCompressed) const;
    // The bKGD data for the form; a palette may gain the colour as a new entry.
    bool BackgroundData(png::ColorForm& form, std::vector<uint8_t>& data) const;

    std::array<std::u32string, 10> texts_;
    std::vector<CustomEntry> custom_;
    PngDate modified_;
    uint32_t setFlags_ = 0;
    uint32_t background_ = 0;
    int64_t filterChoice_ = 0;
};

}  // namespace quenda
