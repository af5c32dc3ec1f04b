#include "engine/SourceGuard.h"

#include <sys/stat.h>

#include "engine/BatchRules.h"

namespace quenda::batch {

SourceGuard::SourceGuard(const std::vector<std::string>& sources) {
    for (const std::string& source : sources) {
        struct stat st {};
        if (::stat(source.c_str(), &st) == 0) {
            files_.emplace(std::make_pair(st.st_dev, st.st_ino), source);
        }
    }
}

std::string SourceGuard::Replaced(const std::string& target) const {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) {
        return {};
    }
    const auto found = files_.find(std::make_pair(st.st_dev, st.st_ino));
    return found == files_.end() ? std::string() : found->second;
}

Failure SourceGuard::Check(const std::string& source, const std::string& target) const {
    if (SameFile(source, target)) {
        return Failure::Of(FailureKind::Conflict, source, "the target is the source file itself");
    }
    const std::string replaced = Replaced(target);
    if (replaced.empty()) {
        return {};
    }
    return Failure::Of(FailureKind::Conflict, replaced,
                       "the target is the source file " + replaced);
}

}  // namespace quenda::batch
