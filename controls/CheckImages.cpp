#include "controls/CheckImages.h"

#include <QString>
#include <array>

namespace CheckImages {
namespace {

std::array<QImage, 6>& Images() {
    static std::array<QImage, 6> images;
    return images;
}

}  // namespace

void Load() {
    static const bool loaded = [] {
        for (int set = 0; set < 2; ++set) {
            for (int state = 0; state < 3; ++state) {
                Images()[set * 3 + state] =
                    QImage(QString(":/palvo/CHK_IMG%1_%2").arg(set).arg(state));
            }
        }
        return true;
    }();
    (void)loaded;
}

const QImage& Get(int set, int state) {
    Load();
    const int s = set == 1 ? 1 : 0;
    const int i = state >= 0 && state <= 2 ? state : 0;
    return Images()[s * 3 + i];
}

}  // namespace CheckImages
