#include "app/CommandButton.h"

#include "button/VkButton.h"

namespace zorix {

VkButton* CommandButton(const QString& name, const QString& caption, QWidget* parent,
                        ButtonSize size) {
    auto* button = new VkButton(parent);
    button->setObjectName(name);
    button->SetTheme(VkButton::thmSilver3D);
    button->SetCaption(caption);
    if (size == ButtonSize::Fixed) {
        button->setFixedSize(90, 25);
    } else {
        button->setMinimumSize(90, 25);
    }
    return button;
}

}  // namespace zorix
