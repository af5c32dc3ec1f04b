#pragma once

#include <QString>

namespace apptest {

// The version server's request target and the update window's answers.
inline const char kQuery[] = "/index.asp?act=get_version&vrs=1.0.1";
inline const QString kNoVersion = "Unable to retrieve version information from the Internet.";
inline const QString kLatest = "You have the latest version of Zorix running on your system.";

}  // namespace apptest
