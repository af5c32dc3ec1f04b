#pragma once

#include <QUrl>
#include <functional>

#include "controls/OwnerDrawnWidget.h"

// A caption shown as a link: word-wrapped text whose font and colour change while the
// mouse is over it, a hand pointer, an optional see-through background (pixels of the
// mask colour are cut out of the widget's shape). A click opens URL and raises Click.
// The host's tooltip text is the widget's toolTip(); ExProp carries the tooltip options.
class VkHyperLink : public OwnerDrawnWidget {
    Q_OBJECT
    Q_PROPERTY(QFont MouseOverFont READ MouseOverFont WRITE SetMouseOverFont)
    Q_PROPERTY(uint MouseOverColor READ MouseOverColor WRITE SetMouseOverColor)
    Q_PROPERTY(QString URL READ URL WRITE SetURL)

  public:
    enum HL_ALIGN { alLeft = 0, alRight = 1, alCenter = 2 };
    Q_ENUM(HL_ALIGN)

    explicit VkHyperLink(QWidget* parent = nullptr);
    ~VkHyperLink() override;

    QFont MouseOverFont() const { return overFont_; }
    void SetMouseOverFont(const QFont& font) { StoreField(overFont_, font); }
    uint MouseOverColor() const { return overColor_; }
    void SetMouseOverColor(uint color) { StoreField(overColor_, color); }
    QString URL() const { return url_; }
    void SetURL(const QString& url) { StoreField(url_, url); }

    // Replaces the shell call used by a click (tests, hosts without a browser).
    void SetUrlOpener(std::function<bool(const QUrl&)> opener);

    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkHyperLink>& Properties();

    QSize sizeHint() const override;

  protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    const PropertyRows& Rows() const override;
    QImage Render() const override;
    QSize FittedSize() const override;
    QStringList LayoutLines(const QFontMetrics& metrics, int width) const;

    // Defaults come from the property table.
    QFont overFont_;
    uint overColor_{};
    QString url_{};
    std::function<bool(const QUrl&)> opener_;
};
