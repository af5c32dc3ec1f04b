#pragma once

#include <QObject>
#include <array>

#include "app/SaveDialogRules.h"
#include "app/Twips.h"

class QWidget;

namespace zorix {

// The strip across the top of the main window: the caption button `topBg`, the
// gradient line `topStripe` below it and the five save buttons `btSave` (1 to 5).
class HeaderStrip : public QObject {
    Q_OBJECT
  public:
    explicit HeaderStrip(QWidget* parent);

    // Places the strip; the save buttons keep their place from the left.
    void Place(const TwipRect& topBg, const TwipRect& topStripe);
    void setSaveEnabled(bool enabled);
    QWidget* btSave(int index) const;
    QWidget* topBg() const { return topBg_; }
    QWidget* topStripe() const { return topStripe_; }

  signals:
    void saveClicked(int index);

  private:
    QWidget* topBg_ = nullptr;
    QWidget* topStripe_ = nullptr;
    std::array<QWidget*, kLastSaveIndex + 1> buttons_{};  // by save index
};

}  // namespace zorix
