#pragma once

#include <QString>

class QWidget;
class VkButton;

namespace zorix {

// How a command button's 90 x 25 size holds: fixed in the small dialogs, a minimum
// where a layout may widen it.
enum class ButtonSize { Fixed, AtLeast };

// A command button of the program's windows: the silver theme, the control name and its
// caption (with its access key).
VkButton* CommandButton(const QString& name, const QString& caption, QWidget* parent,
                        ButtonSize size = ButtonSize::Fixed);

}  // namespace zorix
