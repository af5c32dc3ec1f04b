#pragma once

#include <QImage>

// The six check images of the library, loaded once (when the first check box is made)
// and shared by every check box of the process. Set 0 is the enabled look, set 1 the
// disabled look; in each set image 0 is unchecked, 1 checked (yes), 2 the third state (no).
namespace CheckImages {

void Load();
const QImage& Get(int set, int state);

}  // namespace CheckImages
