#pragma once

#include <stdexcept>
#include <string>

namespace zorixcli {

// A command line the tool cannot run: reported in one line, exit status 2.
struct UsageError : std::runtime_error {
    explicit UsageError(const std::string& what) : std::runtime_error(what) {}
};

constexpr int kExitOk = 0;
constexpr int kExitFileFailed = 1;
constexpr int kExitUsage = 2;

}  // namespace zorixcli
