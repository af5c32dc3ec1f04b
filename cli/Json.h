#pragma once

#include <string>

namespace zorixcli {

// A JSON string literal of `text`, quotes included; valid UTF-8 whatever the bytes:
// each byte that cannot be decoded becomes U+FFFD, control characters are escaped.
std::string JsonString(const std::string& text);
inline const char* JsonBool(bool value) {
    return value ? "true" : "false";
}

}  // namespace zorixcli
