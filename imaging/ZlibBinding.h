#pragma once

namespace quenda::zlib {

// True when zlib can be used. Tests switch it off to run the paths taken on a
// system without zlib.
bool IsEnabled();
void SetDisabledForTesting(bool disabled);

}  // namespace quenda::zlib
