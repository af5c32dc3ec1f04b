#pragma once

#include <QString>
#include <string>

// Paths cross between the windows (QString) and the engine (bytes in the file
// system's encoding) only through these two.
namespace zorix {

std::string NativePath(const QString& path);
// The whole byte string, embedded NULs included.
QString FromNativePath(const std::string& path);

}  // namespace zorix
