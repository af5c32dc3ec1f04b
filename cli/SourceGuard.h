#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zorixcli {

// The source files of one run, which no conversion of the run may replace.
class SourceGuard {
  public:
    explicit SourceGuard(const std::vector<std::string>& sources);

    // Empty when writing `target` (for `source`) replaces no source of the run;
    // otherwise the reason for refusing.
    std::string Check(const std::string& source, const std::string& target) const;

  private:
    std::map<std::pair<dev_t, ino_t>, std::string> files_;  // identity -> first source
};

}  // namespace zorixcli
