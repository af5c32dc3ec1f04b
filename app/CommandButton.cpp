#include "app/CommandButton.h"

#include "button/VkButton.h"

namespace zorix {

VkButton* CommandButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new VkButton(parent);
    button->setObjectName(name);
    button->SetTheme(VkButton::thmSilver3D);
    button->SetCaption(caption);
    button->setFixedSize(90, 25);
    return button;
}

}  // namespace zorix
