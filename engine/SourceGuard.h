#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "imaging/Failure.h"

namespace quenda::batch {

// The source files of one run, which no conversion of the run may replace unasked:
// the command line refuses such a target, the batch window asks first.
class SourceGuard {
  public:
    explicit SourceGuard(const std::vector<std::string>& sources);

    // The source of the run that writing `target` would replace (links followed,
    // since saving through a link replaces the file it points to); empty when none.
    std::string Replaced(const std::string& target) const;

    // No failure when writing `target` (for `source`) replaces no source of the run;
    // otherwise a conflict saying which source it would replace.
    Failure Check(const std::string& source, const std::string& target) const;

  private:
    std::map<std::pair<dev_t, ino_t>, std::string> files_;  // identity -> first source
};

}  // namespace quenda::batch
