#pragma once

#include <string>

namespace zorixcli {

// A JSON string literal of `text`, quotes included.
std::string JsonString(const std::string& text);
inline const char* JsonBool(bool value) {
    return value ? "true" : "false";
}

}  // namespace zorixcli
