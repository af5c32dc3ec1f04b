#include "cli/ArgList.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "cli/UsageError.h"

namespace zorixcli {

bool ArgList::AtOption() const {
    if (optionsEnded_ || Done()) {
        return false;
    }
    const std::string& a = args_[pos_];
    return a.size() > 1 && a[0] == '-';
}

std::string ArgList::TakeOption() {
    std::string option = args_[pos_++];
    hasPendingValue_ = false;
    if (option == "--") {
        optionsEnded_ = true;
        return option;
    }
    const size_t eq = option.find('=');
    if (option.rfind("--", 0) == 0 && eq != std::string::npos) {
        pendingValue_ = option.substr(eq + 1);
        hasPendingValue_ = true;
        option.resize(eq);
    }
    return option;
}

std::string ArgList::TakeValue(const std::string& option) {
    if (hasPendingValue_) {
        hasPendingValue_ = false;
        return pendingValue_;
    }
    if (Done()) {
        throw UsageError("option " + option + " needs a value");
    }
    return args_[pos_++];
}

void ArgList::RejectValue(const std::string& option) const {
    if (hasPendingValue_) {
        throw UsageError("option " + option + " takes no value");
    }
}

int ParseInt(const std::string& option, const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) {
        throw UsageError("option " + option + " needs a whole number, not '" + text + "'");
    }
    return static_cast<int>(value);
}

float ParseFloat(const std::string& option, const std::string& text) {
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value)) {
        throw UsageError("option " + option + " needs a number, not '" + text + "'");
    }
    return value;
}

}  // namespace zorixcli
