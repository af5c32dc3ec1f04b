#pragma once

#include <QString>

class QWidget;
class VkButton;

namespace zorix {

// A command button of the program's small dialogs: the silver theme, a fixed size,
// the control name and its caption (with its access key).
VkButton* CommandButton(const QString& name, const QString& caption, QWidget* parent);

}  // namespace zorix
