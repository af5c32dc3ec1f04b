#include <cstdio>

#include "cli/ArgList.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/TextEscape.h"
#include "cli/UsageError.h"
#include "engine/FileFacts.h"
#include "imaging/c32bppDIB.h"
#include "platform/FileIO.h"

namespace zorixcli {

namespace {

struct DecodeArgs {
    std::string file;
    std::string output;
};

DecodeArgs ParseDecodeArgs(const std::vector<std::string>& args) {
    DecodeArgs parsed;
    bool haveFile = false;
    ArgList list(args);
    while (!list.Done()) {
        if (!list.AtOption()) {
            if (haveFile) {
                throw UsageError("decode takes one file");
            }
            parsed.file = quenda::TrimBlanks(list.TakeFile());
            haveFile = true;
            continue;
        }
        const std::string option = list.TakeOption();
        if (option == "-o" || option == "--output") {
            parsed.output = quenda::TrimBlanks(list.TakeValue(option));
        } else if (option != "--") {
            throw UsageError("unknown option " + option);
        }
    }
    if (!haveFile) {
        throw UsageError("decode needs a file");
    }
    if (parsed.output.empty()) {
        throw UsageError("decode needs -o OUTPUT");
    }
    return parsed;
}

void PrintResult(bool ok, const quenda::c32bppDIB& image) {
    std::printf("{\"ok\": %s, \"width\": %d, \"height\": %d, \"alpha\": %s, \"image_type\": %d}\n",
                JsonBool(ok), ok ? image.Width() : 0, ok ? image.Height() : 0,
                JsonBool(ok && image.Alpha()), ok ? image.ImageType() : 0);
    std::fflush(stdout);
}

// The buffer's bytes exactly as held, as a 32-bit bitmap, whatever its Alpha flag.
bool WriteHeldBytes(quenda::c32bppDIB& image, const std::string& output) {
    const bool alpha = image.Alpha();
    image.setAlpha(true);
    std::vector<uint8_t> bitmap;
    const bool made = image.SaveToStream(bitmap);
    image.setAlpha(alpha);
    if (!made) {
        quenda::fileio::SetLastWriteFailure(quenda::Failure::Of(
            quenda::FailureKind::TooLarge, "BMP", "the image is too large for a bitmap file"));
        return false;
    }
    return quenda::fileio::WriteFileReplacing(output, bitmap);
}

}  // namespace

int RunDecode(const std::vector<std::string>& args) {
    const DecodeArgs parsed = ParseDecodeArgs(args);
    quenda::c32bppDIB image;
    if (!image.LoadPicture_File(parsed.file, 0, 0, false, 32)) {
        PrintResult(false, image);
        const quenda::Failure& why = image.LastFailure();
        std::fprintf(stderr, "zorix-cli: %s: cannot load%s%s\n", EscapeText(parsed.file).c_str(),
                     why ? ": " : "", EscapeText(why.Text()).c_str());
        return kExitFileFailed;
    }
    // "ok" says that the output was written, so it is printed only once it is.
    const bool written = WriteHeldBytes(image, parsed.output);
    PrintResult(written, image);
    if (!written) {
        std::fprintf(stderr, "zorix-cli: %s: cannot write: %s\n", EscapeText(parsed.output).c_str(),
                     EscapeText(quenda::fileio::LastWriteFailure().Text()).c_str());
        return kExitFileFailed;
    }
    return kExitOk;
}

}  // namespace zorixcli
