#pragma once

#include <string>
#include <vector>

namespace zorixcli {

// Walks a command's arguments: options ("--name value", "--name=value", "-x value")
// in any order among the file names; "--" ends the options.
class ArgList {
  public:
    explicit ArgList(std::vector<std::string> args) : args_(std::move(args)) {}

    bool Done() const { return pos_ >= args_.size(); }
    // The next argument is an option (and not after "--").
    bool AtOption() const;
    // Takes the next option's name (without its "=value" part).
    std::string TakeOption();
    // The value of the option just taken; throws UsageError when missing.
    std::string TakeValue(const std::string& option);
    // Throws UsageError when the option just taken carried "=value".
    void RejectValue(const std::string& option) const;
    std::string TakeFile() { return args_[pos_++]; }

  private:
    std::vector<std::string> args_;
    size_t pos_ = 0;
    bool optionsEnded_ = false;
    std::string pendingValue_;
    bool hasPendingValue_ = false;
};

// Whole-string number parsing for option values; throw UsageError when invalid.
int ParseInt(const std::string& option, const std::string& text);
float ParseFloat(const std::string& option, const std::string& text);

}  // namespace zorixcli
