#include "app/SaveDialogRules.h"

#include <array>

#include "engine/BatchRules.h"

namespace zorix {

namespace {

// By index 1 to 5; the ARGB filter is the RGB one with an "A" in front.
const std::array<SaveFormat, 6> kSaveFormats = {{
    {"", ""},
    {"RLE Bitmap (iPAQ 31x/iGO)", "RLE Bitmap files|*.bmp"},
    {"RGB Bitmap", "RGB Bitmap files|*.bmp"},
    {"ARGB Bitmap", "ARGB Bitmap files|*.bmp"},
    {"PNG", "PNG files|*.png"},
    {"JPEG", "JPEG files|*.jpg"},
}};

// The name without the text after its last "."; a leading "." is part of the name.
QString WithoutExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

}  // namespace

const SaveFormat* SaveFormatOf(int index) {
    return index >= kFirstSaveIndex && index <= kLastSaveIndex ? &kSaveFormats[index] : nullptr;
}

SaveProposal ProposeSaveLocation(const QString& shownPath, const QString& currentFolder) {
    if (shownPath.isEmpty()) {
        return {currentFolder, QString()};
    }
    const qsizetype slash = shownPath.lastIndexOf(QLatin1Char('/'));
    return {shownPath.left(slash + 1), WithoutExtension(shownPath.mid(slash + 1))};
}

Prompter::SaveRequest SaveDialogRequest(int index, const QString& shownPath,
                                        const QString& currentFolder) {
    const SaveFormat& format = *SaveFormatOf(index);
    const SaveProposal proposal = ProposeSaveLocation(shownPath, currentFolder);
    Prompter::SaveRequest request;
    request.initialFolder = proposal.folder;
    request.initialName = proposal.name;
    // The extension the engine gives a file of that type.
    request.defaultExtension = QString::fromStdString(
        quenda::batch::TargetExtension(static_cast<quenda::IMG_SAVE_TYPES>(index)));
    request.filter = QString::fromLatin1(format.filter);
    request.promptOverwrite = true;
    return request;
}

QString SaveErrorText(const QString& reason) {
    const QString text = QStringLiteral("Error saving image.");
    if (reason.isEmpty()) {
        return text;
    }
    return text + QLatin1Char('\n') + reason.left(1).toUpper() + reason.mid(1);
}

}  // namespace zorix
