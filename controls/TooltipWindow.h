#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "controls/TooltipOptions.h"

// The tooltip's own top-level window. It watches its control's mouse events itself:
// it appears a moment after the pointer rests on the control (centred under it or
// beside the pointer) and hides when the pointer leaves or a button is pressed.
class TooltipWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TooltipWindow(QWidget* control);
    ~TooltipWindow() override;

    void SetContent(const QString& text, const TooltipOptions& options);
    QWidget* Control() const { return control_; }
    const TooltipOptions& Options() const { return options_; }
    // The text as shown: line breaks kept only in multi-line mode.
    QString ShownText() const;
    // Places the tip for a pointer at the given global position and shows it.
    void Popup(const QPoint& globalPointer);
    // Starts the show delay for a pointer that has just entered the control.
    void Arm(const QPoint& globalPointer);
    // Draws the tip into an image of its own size (also used by paintEvent).
    QImage Render() const;
    QSize sizeHint() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    void Paint(QPainter& painter) const;
    QRect BodyRect() const;
    QSize TextSize() const;
    QFont TitleFont() const;
    void UpdateShape();

    QPointer<QWidget> control_;
    QString text_;
    TooltipOptions options_;
    QTimer showTimer_;
    QPoint lastPointer_;
};
