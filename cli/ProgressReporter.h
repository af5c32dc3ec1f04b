#pragma once

#include <string>

#include "engine/ZorixImgEngineEvents.h"

namespace zorixcli {

// Shows the current file and the engine's decoding and encoding progress on one
// line of standard error, when it is a terminal.
class ProgressReporter final : public quenda::ZorixImgEngineEvents {
  public:
    explicit ProgressReporter(bool enabled);
    ~ProgressReporter() override;

    void StartFile(size_t index, size_t total, const std::string& path);
    void Finish();

    void RLEDecoding(const std::string& fileName, float progress) override;
    void RLEEncoding(const std::string& fileName, int16_t step, const std::string& action,
                     const std::string& status, float progress, int32_t colorCount) override;

  private:
    void Show(const std::string& activity);

    bool enabled_;
    std::string prefix_;
    std::string lastLine_;
};

// Progress numbers in their shortest plain decimal form (12.5, 100).
std::string FormatProgress(float progress);

}  // namespace zorixcli
