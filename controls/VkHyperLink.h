#pragma once

#include <QFont>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>

#include "controls/OwnerDrawnWidget.h"
#include "controls/PropertyBag.h"
#include "controls/PropertySetters.h"

// A caption shown as a link: word-wrapped text whose font and colour change while the
// mouse is over it, a hand pointer, an optional see-through background (pixels of the
// mask colour are cut out of the widget's shape). A click opens URL and raises Click.
// The host's tooltip text is the widget's toolTip(); ExProp carries the tooltip options.
class VkHyperLink : public OwnerDrawnWidget, private PropertySetters<VkHyperLink> {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(QFont MouseOverFont READ MouseOverFont WRITE SetMouseOverFont)
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(uint MouseOverColor READ MouseOverColor WRITE SetMouseOverColor)
    Q_PROPERTY(uint MaskColor READ MaskColor WRITE SetMaskColor)
    Q_PROPERTY(bool UseMaskColor READ UseMaskColor WRITE SetUseMaskColor)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(QString URL READ URL WRITE SetURL)
    Q_PROPERTY(QVariant xtrVar READ xtrVar WRITE SetxtrVar)
    Q_PROPERTY(QString ExProp READ ExProp WRITE SetExProp)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)

  public:
    enum HL_ALIGN { alLeft = 0, alRight = 1, alCenter = 2 };
    Q_ENUM(HL_ALIGN)

    explicit VkHyperLink(QWidget* parent = nullptr);
    ~VkHyperLink() override;

    // A new control placed by a host: the caption is the host's name for it.
    void InitNew(const QString& hostName);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);
    QFont Font() const { return font_; }
    void SetFont(const QFont& font);
    QFont MouseOverFont() const { return overFont_; }
    void SetMouseOverFont(const QFont& font);
    uint BackColor() const { return backColor_; }
    void SetBackColor(uint color);
    uint ForeColor() const { return foreColor_; }
    void SetForeColor(uint color);
    uint MouseOverColor() const { return overColor_; }
    void SetMouseOverColor(uint color);
    uint MaskColor() const { return maskColor_; }
    void SetMaskColor(uint color);
    bool UseMaskColor() const { return useMask_; }
    void SetUseMaskColor(bool use);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    QString URL() const { return url_; }
    void SetURL(const QString& url);
    QVariant xtrVar() const { return xtrVar_; }
    void SetxtrVar(const QVariant& value);
    QString ExProp() const { return exProp_; }
    void SetExProp(const QString& exProp);
    bool Enabled() const { return isEnabled(); }
    void SetEnabled(bool enabled);

    // The drawn surface.
    QImage Image();
    // Replaces the shell call used by a click (tests, hosts without a browser).
    void SetUrlOpener(std::function<bool(const QUrl&)> opener);

    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    // Every persisted property: key, member, default and range.
    static const PropertyTable<VkHyperLink>& Properties();

    QSize sizeHint() const override;

  signals:
    void Click();
    void DblClick();
    void MouseIn();
    void MouseOut();
    void PropertyChanged(const QString& key);

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    friend class PropertySetters<VkHyperLink>;
    void Changed(const char* key);
    void Redraw() override;
    QImage Render() const override;
    void AnnounceHover(bool entered) override;
    QStringList LayoutLines(const QFontMetrics& metrics, int width) const;
    QSize CaptionSize() const;

    // Defaults come from the property table.
    QString caption_;
    int alignment_{};
    QFont font_;
    QFont overFont_;
    uint backColor_{};
    uint foreColor_{};
    uint overColor_{};
    uint maskColor_{};
    bool useMask_{};
    bool autoSize_{};
    QString url_{};
    QVariant xtrVar_{};
    QString exProp_;
    bool pressed_ = false;
    std::function<bool(const QUrl&)> opener_;
};
