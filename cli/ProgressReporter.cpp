#include "cli/ProgressReporter.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "cli/TextEscape.h"

namespace zorixcli {

std::string FormatProgress(float progress) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(progress));
    return text;
}

ProgressReporter::ProgressReporter(bool enabled) : enabled_(enabled && isatty(STDERR_FILENO)) {}

ProgressReporter::~ProgressReporter() {
    Finish();
}

void ProgressReporter::StartFile(size_t index, size_t total, const std::string& path) {
    prefix_ =
        "file " + std::to_string(index) + " of " + std::to_string(total) + ": " + EscapeText(path);
    Show("");
}

void ProgressReporter::Finish() {
    if (enabled_ && !lastLine_.empty()) {
        std::fputs("\r\033[K", stderr);
        lastLine_.clear();
    }
}

void ProgressReporter::RLEDecoding(const std::string&, float progress) {
    Show("decoding RLE (" + FormatProgress(progress) + "%)");
}

void ProgressReporter::RLEEncoding(const std::string&, int16_t, const std::string& action,
                                   const std::string&, float progress, int32_t) {
    std::string text = action;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (progress >= 0) {
        text += " (" + FormatProgress(progress) + "%)";
    }
    Show(text);
}

void ProgressReporter::Show(const std::string& activity) {
    if (!enabled_) {
        return;
    }
    const std::string line = activity.empty() ? prefix_ : prefix_ + " - " + activity;
    if (line == lastLine_) {
        return;
    }
    lastLine_ = line;
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
}

}  // namespace zorixcli
