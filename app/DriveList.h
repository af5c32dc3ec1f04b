#pragma once

#include <QComboBox>

namespace zorix {

// The drive list: the mounted volumes, by their root folders. Its tag keeps the
// last drive that could be read.
class DriveList : public QComboBox {
    Q_OBJECT
  public:
    explicit DriveList(QWidget* parent);

    // Lists the mounted volumes again.
    void Refresh();
    // Root folder of the selected volume.
    QString Drive() const;
    // Selects the volume holding `path` without raising drivePicked.
    void SelectDriveOf(const QString& path);
    // The volume root holding `path` (the deepest listed root that contains it).
    QString DriveOf(const QString& path) const;

    QString LastGoodDrive() const { return lastGood_; }
    void setLastGoodDrive(const QString& root) { lastGood_ = root; }

  signals:
    // The user picked a volume.
    void drivePicked(const QString& root);

  private:
    QString lastGood_;
};

// True when a volume's root folder can be listed.
bool IsDriveReady(const QString& root);

}  // namespace zorix
