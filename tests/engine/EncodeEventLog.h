#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/ZorixImgEngineEvents.h"

namespace enginetest {

// Records every event as one line of text, so two runs can be compared whole.
class EventLog : public quenda::ZorixImgEngineEvents {
  public:
    std::vector<std::string> lines;

    void RLEEncoding(const std::string& fileName, int16_t step, const std::string& action,
                     const std::string& status, float progress, int32_t colorCount) override {
        char number[32];
        std::snprintf(number, sizeof number, "%.9g", static_cast<double>(progress));
        lines.push_back("Encoding|" + fileName + "|" + std::to_string(step) + "|" + action + "|" +
                        status + "|" + number + "|" + std::to_string(colorCount));
    }
    void RLEEncodingStarted(const std::string& fileName) override {
        lines.push_back("Started|" + fileName);
    }
    void RLEEncodingComplete(const std::string& fileName, bool success,
                             bool paletteOverflow) override {
        lines.push_back("Complete|" + fileName + "|" + std::to_string(success) + "|" +
                        std::to_string(paletteOverflow));
    }
    void RLEDecoding(const std::string& fileName, float progress) override {
        lines.push_back("Decoding|" + fileName + "|" + std::to_string(progress));
    }
    void RLEDecodingStarted(const std::string& fileName) override {
        lines.push_back("DecodingStarted|" + fileName);
    }
    void RLEDecodingComplete(const std::string& fileName, bool success) override {
        lines.push_back("DecodingComplete|" + fileName + "|" + std::to_string(success));
    }

    size_t CountWithAction(const std::string& action) const {
        size_t n = 0;
        for (const std::string& line : lines) {
            n += line.find("|" + action + "|") != std::string::npos ? 1 : 0;
        }
        return n;
    }
};

}  // namespace enginetest
