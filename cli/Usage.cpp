#include "cli/Usage.h"

#ifndef ZORIX_VERSION_TEXT
#define ZORIX_VERSION_TEXT "0.0.0"
#endif

namespace zorixcli {

namespace {

// Each command's synopsis, as both its own usage and the tool's usage list it.
const char* const kInfoSynopsis = "zorix-cli info [--json] FILE...\n";
const char* const kConvertSynopsis =
    "zorix-cli convert --to rle|bmp24|bmp32|png|jpg [-o PATH | -d DIR]\n"
    "                 [--accuracy A] [--max-palette N] [--reduction classic|best]\n"
    "                 [--dither] [--no-copy] [--overwrite]\n"
    "                 [--json] [--quiet] [-j N] FILE...\n";
const char* const kDecodeSynopsis = "zorix-cli decode FILE -o OUTPUT\n";

const char* const kInfoHelp =
    "Describes each image file: size, palette, alpha and type.\n"
    "  --json   one JSON object per line and file\n";

const char* const kConvertHelp =
    "Converts each file into the target format.\n"
    "  --to FORMAT         target format: rle, bmp24, bmp32, png or jpg\n"
    "  -o, --output PATH   the target of a single input file\n"
    "  -d, --out-dir DIR   write the targets into DIR\n"
    "  --accuracy A        colour accuracy of the palette, 90 to 100 (default 100)\n"
    "  --max-palette N     largest palette, 0 to 9999 (default 0 = no limit)\n"
    "  --reduction MODE    classic (default): the stored files' reduction, byte-exact;\n"
    "                      best: a quantizer that keeps the picture closest to its source\n"
    "  --dither            with --reduction best, diffuse the colour error\n"
    "  --no-copy           load and save even when the source is already in the format\n"
    "  --overwrite         replace existing targets\n"
    "  --json              one JSON object per line and file\n"
    "  --quiet             no progress display\n"
    "  -j, --jobs N        convert N files at a time\n";

const char* const kDecodeHelp =
    "Loads FILE with the image library and writes its buffer as a 32-bit bitmap.\n"
    "  -o, --output OUTPUT   the bitmap to write\n";

const char* const kFirstLine = "usage: ";
const char* const kNextLine = "       ";  // as wide as kFirstLine

}  // namespace

std::string CommandUsage(const std::string& command) {
    if (command == "info") {
        return std::string(kFirstLine) + kInfoSynopsis + kInfoHelp;
    }
    if (command == "convert") {
        return std::string(kFirstLine) + kConvertSynopsis + kConvertHelp;
    }
    if (command == "decode") {
        return std::string(kFirstLine) + kDecodeSynopsis + kDecodeHelp;
    }
    return {};
}

std::string ToolUsage() {
    return std::string(kFirstLine) + kInfoSynopsis + kNextLine + kConvertSynopsis + kNextLine +
           kDecodeSynopsis + kNextLine + "zorix-cli COMMAND --help\n" + kNextLine +
           "zorix-cli --version\n";
}

std::string VersionLine() {
    return std::string("zorix-cli ") + ZORIX_VERSION_TEXT;
}

}  // namespace zorixcli
