#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "engine/ZorixImgEngineEvents.h"

namespace testsupport {

// Records every engine event as one line of text, for comparing event sequences.
class EventRecorder : public quenda::ZorixImgEngineEvents {
  public:
    std::vector<std::string> lines;
    std::vector<float> decodingProgress;

    void RLEEncoding(const std::string& f, int16_t step, const std::string& action,
                     const std::string& status, float progress, int32_t count) override {
        std::ostringstream s;
        s << "Encoding " << f << " | " << step << " | " << action << " | " << status << " | "
          << progress << " | " << count;
        lines.push_back(s.str());
    }
    void RLEEncodingStarted(const std::string& f) override {
        lines.push_back("EncodingStarted " + f);
    }
    void RLEEncodingComplete(const std::string& f, bool ok, bool overflow) override {
        lines.push_back("EncodingComplete " + f + " " + std::to_string(ok) + " " +
                        std::to_string(overflow));
    }
    void RLEDecoding(const std::string& f, float progress) override {
        decodingProgress.push_back(progress);
        std::ostringstream s;
        s << "Decoding " << f << " " << progress;
        lines.push_back(s.str());
    }
    void RLEDecodingStarted(const std::string& f) override {
        lines.push_back("DecodingStarted " + f);
    }
    void RLEDecodingComplete(const std::string& f, bool ok) override {
        lines.push_back("DecodingComplete " + f + " " + std::to_string(ok));
    }
};

}  // namespace testsupport
