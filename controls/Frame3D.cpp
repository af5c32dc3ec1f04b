#include "controls/Frame3D.h"

#include "controls/colorFuncs.h"

namespace Frame3D {
namespace {

void Edge(QPainter& p, const QRect& r, quint32 topLeft, quint32 bottomRight) {
    p.setPen(colorFuncs::ToQColor(topLeft));
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    p.setPen(colorFuncs::ToQColor(bottomRight));
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
}

}  // namespace

void DrawSunken(QPainter& painter, const QRect& outer) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    Edge(painter, outer, colorFuncs::kSysButtonShadow, colorFuncs::kSysButtonHighlight);
    Edge(painter, outer.adjusted(1, 1, -1, -1), colorFuncs::kSys3DDarkShadow,
         colorFuncs::kSys3DLight);
    painter.restore();
}

}  // namespace Frame3D
