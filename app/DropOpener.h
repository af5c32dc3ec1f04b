#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

namespace zorix {

// Lets a window take a file or folder dropped onto it: the first local path of the
// drop goes to `open`.
class DropOpener : public QObject {
    Q_OBJECT
  public:
    DropOpener(QWidget* window, std::function<bool(const QString&)> open);

    // The first local file or folder a drop carries, or "".
    static QString DroppedPath(const QMimeData* data);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<bool(const QString&)> open_;
};

}  // namespace zorix
