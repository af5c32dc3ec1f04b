#include "Gallery.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "button/VkButton.h"
#include "controls/TooltipWindow.h"
#include "controls/VkCheckBox.h"
#include "controls/VkGradFrame.h"
#include "controls/VkHyperLink.h"
#include "controls/VkMeter.h"
#include "controls/VkProgressBar.h"

namespace {

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int w = 90) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, 18);
    return label;
}

QPixmap SampleIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(QColor(40, 140, 60));
    p.setPen(QColor(20, 80, 30));
    p.drawEllipse(1, 1, 14, 14);
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(5, 8, 7, 11);
    p.drawLine(7, 11, 11, 5);
    return pixmap;
}

void SendMove(QWidget* w) {
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, local, w->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

}  // namespace

Gallery::Gallery(QWidget* parent) : QWidget(parent) {
    resize(1240, 930);
    setAutoFillBackground(true);
    BuildButtons(Section("VkButton (Tessil): themes and states; variants", 8, 8, 1224, 300));
    BuildProgressBars(Section("VkProgressBar: themes 0-5, values, orientation", 8, 316, 610, 250));
    BuildMeters(Section("VkMeter", 626, 316, 300, 250));
    BuildCheckBoxes(Section("VkCheckBox", 934, 316, 298, 250));
    BuildLinks(Section("VkHyperLink", 8, 574, 300, 348));
    BuildFrames(Section("VkGradFrame", 316, 574, 560, 348));
    BuildTooltips(Section("CTooltip", 884, 574, 348, 348));
}

QWidget* Gallery::Section(const QString& title, int x, int y, int w, int h) {
    auto* box = new QWidget(this);
    box->setGeometry(x, y, w, h);
    auto* caption = new QLabel("<b>" + title + "</b>", box);
    caption->setGeometry(4, 0, w - 8, 18);
    auto* area = new QWidget(box);
    area->setGeometry(0, 20, w, h - 20);
    return area;
}

void Gallery::BuildButtons(QWidget* area) {
    const char* themes[] = {"thmSky3D", "thmSkyFlat", "thmSilver3D", "thmCandy3D", "thmOfficeBar"};
    const char* states[] = {"normal", "hover", "pressed", "default", "disabled"};
    for (int c = 0; c < 5; ++c) {
        Label(area, themes[c], 80 + c * 118, 0, 110);
    }
    for (int r = 0; r < 5; ++r) {
        Label(area, states[r], 4, 26 + r * 40);
        for (int c = 0; c < 5; ++c) {
            auto* b = new VkButton(area);
            b->setGeometry(80 + c * 118, 20 + r * 40, 110, 30);
            b->SetTheme(c + 1);
            b->SetCaption(r == 0 ? "&Open" : "Save && Exit");
            if (r == 1) {
                hovered_.append(b);
            } else if (r == 2) {
                pressed_.append(b);
            } else if (r == 3) {
                b->SetDefault(true);
            } else if (r == 4) {
                b->SetEnabled(false);
            }
        }
    }
    struct Variant {
        const char* caption;
        void (*setup)(VkButton*);
    };
    const Variant variants[] = {
        {"Gel face", [](VkButton* b) { b->SetGradientStyle(VkButton::gtGel); }},
        {"Gel + light",
         [](VkButton* b) {
             b->SetGradientStyle(VkButton::gtGel);
             b->SetLightEffect(true);
             b->SetColorA(0xE0A040);
         }},
        {"Round corners",
         [](VkButton* b) {
             b->SetCornerStyle(VkButton::csRound);
             b->SetColorA(0xBBAD9C);
         }},
        {"Cuts soft both",
         [](VkButton* b) {
             b->SetTheme(VkButton::thmSky3D);
             b->SetCutStyle(VkButton::posBoth);
         }},
        {"Cuts hard right",
         [](VkButton* b) {
             b->SetTheme(VkButton::thmOfficeBar);
             b->SetColorA(0xC0C0C0);
             b->SetCutStyle(VkButton::posRight);
         }},
        {"Bottom line",
         [](VkButton* b) {
             b->SetBottomLine(true);
             b->SetLightEffect(true);
             b->SetColorA(0xF0C080);
         }},
        {"Icon left",
         [](VkButton* b) {
             b->SetIcon(SampleIcon());
             b->SetTheme(VkButton::thmSky3D);
         }},
        {"Icon right, top",
         [](VkButton* b) {
             b->SetIcon(SampleIcon());
             b->SetIconAlignment(VkButton::aaMiddleRight);
             b->SetAlignment(VkButton::aaTopLeft);
         }},
        {"Shadow caption",
         [](VkButton* b) {
             b->SetOutline(VkButton::olShadow);
             b->SetOutlineColor(0x808080);
             b->SetForeColor(0xFFFFFF);
             b->SetColorA(0x804000);
             b->SetColorB(0xC08040);
         }},
        {"No outline",
         [](VkButton* b) {
             b->SetOutline(VkButton::olNone);
             b->SetForeColor(0x800000);
         }},
        {"Bottom right", [](VkButton* b) { b->SetAlignment(VkButton::aaBottomRight); }},
        {"Flat", [](VkButton* b) { b->SetBorderAppearence(VkButton::apFlat); }},
    };
    for (int i = 0; i < 12; ++i) {
        auto* b = new VkButton(area);
        const int col = i / 6;
        const int row = i % 6;
        b->setGeometry(680 + col * 270, 4 + row * 44, 260, row == 0 || row == 1 ? 38 : 36);
        b->SetCaption(variants[i].caption);
        variants[i].setup(b);
    }
}

void Gallery::BuildProgressBars(QWidget* area) {
    for (int t = 0; t <= 5; ++t) {
        Label(area, QString("theme %1").arg(t), 4, 4 + t * 34, 60);
        for (int k = 0; k < 3; ++k) {
            auto* pb = new VkProgressBar(area);
            pb->setGeometry(70 + k * 150, 2 + t * 34, 140, 22);
            if (t == 0) {
                pb->SetBarColor(0x8000A0);
                pb->SetLightStyle(VkProgressBar::lsSoft);
                pb->SetBorderStyle(k == 2 ? VkProgressBar::pbNone : VkProgressBar::pbFixedSingle);
            } else {
                pb->SetTheme(t);
            }
            pb->SetValue(k == 0 ? 25 : (k == 1 ? 50 : 100));
        }
    }
    for (int t = 1; t <= 5; ++t) {
        auto* pb = new VkProgressBar(area);
        pb->setGeometry(0, 0, 200, 20);
        pb->SetTheme(t);
        pb->SetOrientation(VkProgressBar::pbVertical);
        pb->move(525 + (t - 1) * 16, 4);
        pb->resize(14, 200);
        pb->SetValue(20 * t);
    }
}

void Gallery::BuildMeters(QWidget* area) {
    const int values[] = {30, 75, 90, 100};
    for (int i = 0; i < 4; ++i) {
        auto* m = new VkMeter(area);
        m->setGeometry(4 + i * 30, 4, 24, 150);
        m->SetValue(values[i]);
        Label(area, QString::number(values[i]), 6 + i * 30, 158, 28);
    }
    auto* framed = new VkMeter(area);
    framed->setGeometry(130, 4, 28, 150);
    framed->SetAppearance(VkMeter::mt3D);
    framed->SetBorderStyle(VkMeter::mtFixedSingle);
    framed->SetSteps(20);
    framed->SetValue(85);
    for (int i = 0; i < 3; ++i) {
        auto* m = new VkMeter(area);
        m->setGeometry(0, 0, 22, 130);
        m->SetOrientation(VkMeter::mtHorizontal);
        m->move(170, 4 + i * 30);
        m->SetValue(40 + i * 30);
    }
    auto* flat = new VkMeter(area);
    flat->setGeometry(0, 0, 18, 130);
    flat->SetOrientation(VkMeter::mtHorizontal);
    flat->move(170, 100);
    flat->SetBorderStyle(VkMeter::mtFixedSingle);
    flat->SetBackColor(0x202020);
    flat->SetSteps(30);
    flat->SetValue(95);
}

void Gallery::BuildCheckBoxes(QWidget* area) {
    struct Box {
        const char* caption;
        int style, value;
    };
    const Box boxes[] = {
        {"csNormal, 0", VkCheckBox::csNormal, 0},
        {"csNormal, 1", VkCheckBox::csNormal, 1},
        {"csYesNo, yes", VkCheckBox::csYesNo, 1},
        {"csYesNo, no", VkCheckBox::csYesNo, -1},
        {"csTriState, 0", VkCheckBox::csTriState, 0},
        {"csTriState, 1", VkCheckBox::csTriState, 1},
        {"csTriState, -1", VkCheckBox::csTriState, -1},
    };
    for (int i = 0; i < 7; ++i) {
        auto* cb = new VkCheckBox(area);
        cb->setGeometry(4, 4 + i * 24, 140, 20);
        cb->SetStyle(boxes[i].style);
        cb->SetValue(boxes[i].value);
        cb->SetCaption(boxes[i].caption);
    }
    auto* hover = new VkCheckBox(area);
    hover->setGeometry(150, 4, 140, 20);
    hover->SetCaption("hover (underline)");
    hover->SetValue(1);
    hovered_.append(hover);
    auto* bold = new VkCheckBox(area);
    bold->setGeometry(150, 28, 140, 20);
    bold->SetCaption("hover bold");
    bold->SetHoverBold(true);
    bold->SetHoverUnderline(false);
    bold->SetHoverColor(0x0000C0);
    hovered_.append(bold);
    auto* off = new VkCheckBox(area);
    off->setGeometry(150, 52, 140, 20);
    off->SetCaption("disabled, 1");
    off->SetValue(1);
    off->SetEnabled(false);
    auto* offNo = new VkCheckBox(area);
    offNo->setGeometry(150, 76, 140, 20);
    offNo->SetStyle(VkCheckBox::csTriState);
    offNo->SetValue(-1);
    offNo->SetCaption("disabled, -1");
    offNo->SetEnabled(false);
    auto* right = new VkCheckBox(area);
    right->setGeometry(150, 100, 140, 20);
    right->SetAlignment(VkCheckBox::baRight);
    right->SetCaption("image right");
    right->SetValue(1);
    auto* colours = new VkCheckBox(area);
    colours->setGeometry(150, 124, 140, 20);
    colours->SetBackColor(0x603000);
    colours->SetForeColor(0xFFFFFF);
    colours->SetCaption("own colours");
}

void Gallery::BuildLinks(QWidget* area) {
    auto* plain = new VkHyperLink(area);
    plain->setGeometry(4, 4, 280, 18);
    plain->InitNew("VkHyperLink1");
    auto* hover = new VkHyperLink(area);
    hover->setGeometry(4, 28, 280, 18);
    hover->SetCaption("hovered: other font and colour");
    QFont f = hover->Font();
    f.setUnderline(true);
    hover->SetMouseOverFont(f);
    hover->SetMouseOverColor(0x0000FF);
    hovered_.append(hover);
    auto* off = new VkHyperLink(area);
    off->setGeometry(4, 52, 280, 18);
    off->SetCaption("disabled link");
    off->SetEnabled(false);
    auto* wrap = new VkHyperLink(area);
    wrap->setGeometry(4, 76, 60, 54);
    wrap->SetCaption("three word caption");
    auto* right = new VkHyperLink(area);
    right->setGeometry(70, 76, 210, 36);
    right->SetAlignment(VkHyperLink::alRight);
    right->SetCaption("right aligned words wrap onto a second line here");
    auto* centre = new VkHyperLink(area);
    centre->setGeometry(70, 116, 210, 36);
    centre->SetAlignment(VkHyperLink::alCenter);
    centre->SetCaption("centred caption over two lines of text");
    auto* frame = new VkGradFrame(area);
    frame->setGeometry(4, 160, 280, 80);
    frame->SetCaption("");
    frame->SetColorA(0x4080FF);
    frame->SetColorB(0xFFE0C0);
    auto* masked = new VkHyperLink(frame);
    masked->setGeometry(10, 10, 260, 60);
    masked->SetBackColor(0xC0C0C0);
    masked->SetCaption("see-through: only the text pixels remain over the gradient");
    QFont big = masked->Font();
    big.setPointSize(big.pointSize() + 3);
    big.setBold(true);
    masked->SetFont(big);
    auto* autosize = new VkHyperLink(area);
    autosize->move(4, 250);
    autosize->SetAutoSize(true);
    autosize->SetCaption("AutoSize grows to fit");
    autosize->SetForeColor(0x008000);
}

void Gallery::BuildFrames(QWidget* area) {
    auto* fresh = new VkGradFrame(area);
    fresh->setGeometry(4, 4, 180, 100);
    fresh->InitNew("VkGradFrame1");
    const char* corners[] = {"caTopLeft", "caTopRight", "caBottomLeft", "caBottomRight"};
    for (int i = 0; i < 4; ++i) {
        auto* f = new VkGradFrame(area);
        f->setGeometry(190 + (i % 2) * 182, 4 + (i / 2) * 106, 176, 100);
        f->SetCaption(corners[i]);
        f->SetCaptionAlignment(i);
        f->SetOrientation(i % 2 == 0 ? VkGradFrame::orHorizontal : VkGradFrame::orVertical);
        f->SetAppearance(i < 2 ? VkGradFrame::apFlat : VkGradFrame::ap3D);
        f->SetColorA(i < 2 ? 0x80C0FF : 0xC0FFC0);
    }
    auto* plain = new VkGradFrame(area);
    plain->setGeometry(4, 110, 180, 100);
    plain->SetColorA(0xE0E0E0);
    plain->SetColorB(0xE0E0E0);
    plain->SetCaption("ColorA = ColorB");
    auto* centred = new VkGradFrame(area);
    centred->setGeometry(4, 216, 180, 100);
    centred->SetCaption("centred, capW 120");
    centred->SetCaptionTextCentered(true);
    centred->SetCaptionWidth(120);
    centred->SetCaptionHeight(22);
    centred->SetForeColor(0x800000);
    auto* holder = new VkGradFrame(area);
    holder->setGeometry(190, 216, 358, 100);
    holder->SetCaption("");
    holder->SetBorderStyle(VkGradFrame::bsNone);
    holder->SetColorA(0x603010);
    holder->SetColorB(0xF0C090);
    holder->SetOrientation(VkGradFrame::orHorizontal);
    auto* child = new VkButton(holder);
    child->setGeometry(12, 30, 110, 30);
    child->SetTheme(VkButton::thmSky3D);
    child->SetCaption("On a frame");
    auto* bar = new VkProgressBar(holder);
    bar->setGeometry(140, 36, 200, 18);
    bar->SetTheme(VkProgressBar::thmVitamin);
    bar->SetValue(60);
}

void Gallery::BuildTooltips(QWidget* area) {
    struct Tip {
        const char* text;
        const char* options;
    };
    const Tip tips[] = {
        {"A standard tooltip", ""},
        {"Standard, with a title and\nthe information icon", "tttitle=Information;tticon=info"},
        {"Balloon with a warning", "tticon=Warning;ttstyle=Balloon;tttitle=Note"},
        {"Own colours, error icon",
         "ttbcolor=8421631;ttfcolor=16777215;tticon=3;tttitle=Error;"
         "ttstyle=balloon"},
        {"Line one\nline two (single-line mode)", "ttmultiline=no"},
    };
    int y = 4;
    for (const Tip& t : tips) {
        TooltipOptions options;
        options.Parse(t.options);
        TooltipWindow window(area);
        window.SetContent(t.text, options);
        window.resize(window.sizeHint());
        const QImage image = window.Render();
        auto* label = new QLabel(area);
        label->setPixmap(QPixmap::fromImage(image));
        label->setGeometry(4, y, image.width(), image.height());
        y += image.height() + 8;
    }
}

void Gallery::ApplyStates() {
    for (QWidget* w : hovered_) {
        SendMove(w);
    }
    for (QWidget* w : pressed_) {
        if (auto* b = qobject_cast<VkButton*>(w)) {
            b->SetExProp("special=fakeclick");
        }
    }
}
