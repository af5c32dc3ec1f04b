#include "codecs/ReaderChain.h"

#include <string>

#include "codecs/cBMPparser.h"
#include "codecs/cGIFparser.h"
#include "codecs/cICOparser.h"
#include "codecs/cPNGparser.h"
#include "codecs/cTGAparser.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"

namespace quenda {

namespace {

// ---------------------------------------------------------------------------
// Reader slots. Each answers true when it recognised its format, even when
// decoding then failed and left the image empty.

// PNG reader, first in the chain.
bool TryPngReader(c32bppDIB& image, const ReaderChainInput& in) {
    uint32_t token = image.gdiToken();
    return cPNGparser().LoadStream(in.bytes, image, in.start, in.length, token);
}

// ---------------------------------------------------------------------------

// ICO and CUR reader, given the icon size and bit depth asked for.
bool TryIcoReader(c32bppDIB& image, const ReaderChainInput& in) {
    return cICOparser().LoadStream(in.bytes, in.iconWidth, in.iconHeight, &image, in.start,
                                   in.length, in.iconBitDepth, image.gdiToken());
}

// ---------------------------------------------------------------------------

// TGA reader. TGA has no signature, so it comes last, and a reason an earlier
// reader gave for data it recognised stands over the TGA reader's guess.
bool TryTgaReader(c32bppDIB& image, const ReaderChainInput& in) {
    LoadFailure earlier = image.LastLoadFailure();
    const bool loaded = cTGAparser().LoadStream(in.bytes, image, in.start, in.length);
    if (!loaded && earlier) {
        image.SetLoadFailure(std::move(earlier));
    }
    return loaded;
}

// ---------------------------------------------------------------------------

ReaderChainInput Normalised(ReaderChainInput in) {
    in.iconWidth = in.iconWidth < 0 ? 0 : in.iconWidth;
    in.iconHeight = in.iconHeight < 0 ? 0 : in.iconHeight;
    in.iconBitDepth = (in.iconBitDepth < 0 || in.iconBitDepth > 32) ? 32 : in.iconBitDepth;
    return in;
}

// The general loader of the imaging bridge, for what no reader took. The image
// then stands for itself; it would be kept as PNG, which the bridge can write.
bool TryBridge(c32bppDIB& image, const ReaderChainInput& in, std::vector<uint8_t>& kept) {
    cGDIPlus bridge;
    if (!bridge.LoadPicture(in.bytes.data() + in.start, in.length, image, image.gdiToken())) {
        return false;
    }
    if (in.keepOriginalFormat) {
        std::vector<uint8_t> png;
        if (bridge.SaveToPNG({}, png, image, image.gdiToken())) {
            kept = std::move(png);
        }
    }
    return true;
}

}  // namespace

bool RunReaderChain(c32bppDIB& image, ReaderChainInput input) {
    image.DestroyDIB();
    const ReaderChainInput in = Normalised(input);
    if (in.start > in.bytes.size() || in.length > in.bytes.size() - in.start) {
        return false;
    }
    image.SetLoadFailure({});
    bool answered = TryPngReader(image, in);
    answered = answered || cGIFparser().LoadStream(in.bytes, image, in.start, in.length);
    answered = answered || TryIcoReader(image, in);
    answered = answered || cBMPparser().LoadStream(in.bytes, image, in.start, in.length);
    std::vector<uint8_t> kept;
    if (image.Handle() == 0 && image.isGDIplusEnabled()) {
        answered = TryBridge(image, in, kept) || answered;
    }
    if (image.Handle() == 0 && !answered) {
        TryTgaReader(image, in);
    }
    if (image.Handle() == 0) {
        return false;
    }
    image.SetLoadFailure({});
    if (in.keepOriginalFormat) {
        if (kept.empty()) {
            kept.assign(in.bytes.begin() + in.start, in.bytes.begin() + in.start + in.length);
        }
        image.setOriginalFormat(std::move(kept));
    }
    return true;
}

}  // namespace quenda
