#pragma once

#include <QString>

class QWidget;
class VkProgressBar;

namespace zorix {

// A progress bar of the program's windows: the corporate theme, percent from 0 to 100
// and a height of 18 pixels; `name` is its control name (none when empty).
VkProgressBar* ProgressBar(const QString& name, QWidget* parent);

}  // namespace zorix
