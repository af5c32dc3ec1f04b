#include "app/ProgressBar.h"

#include "controls/VkProgressBar.h"

namespace zorix {

VkProgressBar* ProgressBar(const QString& name, QWidget* parent) {
    auto* bar = new VkProgressBar(parent);
    if (!name.isEmpty()) {
        bar->setObjectName(name);
    }
    bar->SetTheme(VkProgressBar::thmCorporate);
    bar->SetMin(0);
    bar->SetMax(100);
    bar->setFixedHeight(18);
    return bar;
}

}  // namespace zorix
