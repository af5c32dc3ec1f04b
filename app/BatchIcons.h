#pragma once

#include <QIcon>
#include <QString>

namespace zorix {

// The batch window's image list of row outcomes: "ok", "x" and "skip"; an empty
// icon for any other name.
QIcon BatchIcon(const QString& name);

}  // namespace zorix
