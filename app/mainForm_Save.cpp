// The main window's save command and the encoding progress it shows.
#include <QCoreApplication>
#include <QTreeWidget>

#include "app/FolderList.h"
#include "app/NativePath.h"
#include "app/Prompter.h"
#include "app/SaveDialogRules.h"
#include "app/encForm.h"
#include "app/mainForm.h"

namespace zorix {

void mainForm::SaveFile(int index) {
    if (!engine_ || !engine_->ImageIsLoaded() || busy_.IsBusy() || !SaveFormatOf(index)) {
        return;
    }
    const Prompter::SaveRequest request = SaveDialogRequest(index, shownPath_, dir1_->Path());
    const QString target = prompter_.ChooseSaveFile(this, request);
    if (target.isEmpty()) {
        return;
    }
    const bool alphaBefore = engine_->ImageHasAlpha();
    bool saved = false;
    {
        const BusyGuard::Operation operation(busy_);
        saved = engine_->SaveImageAs(NativePath(target), index);
        EndEncoding();  // in case the engine did not say that it finished
    }
    if (engine_->ImageHasAlpha() != alphaBefore) {
        ReloadShownImage();
    }
    if (!saved) {
        prompter_.MessageBox(
            this, SaveErrorText(QString::fromStdString(engine_->LastFailureReason())),
            QStringLiteral("Error"), Prompter::Icon::Exclamation, Prompter::Buttons::Ok);
        return;
    }
    FillFileList();
    SelectShownFile();
}

// Saving as a bitmap changes the held image's alpha flag. The next save must start
// from the file as loaded, so that every save writes what a conversion of the
// shown file writes; the preview stays as it is.
void mainForm::ReloadShownImage() {
    const bool smallFile = smallFile_;
    smallFile_ = true;  // no progress window for this
    bool loaded = false;
    {
        const BusyGuard::Operation operation(busy_);
        loaded = engine_->LoadImage(NativePath(shownPath_));
    }
    smallFile_ = smallFile;
    if (!loaded) {
        ShowInvalidFile();
    }
}

// Selects the shown file in the rebuilt list without loading it again.
void mainForm::SelectShownFile() {
    if (!shownPath_.isEmpty()) {
        llist_->SelectQuietly(shownPath_);  // absent when the shown file lies elsewhere
    }
}

void mainForm::RLEEncodingStarted(const std::string& /*fileName*/) {
    EndEncoding();
    busy_.Lock({this});
    enc_ = new encForm(this);
    enc_->setEnabled(true);  // a window of its own, usable beside the disabled main window
    enc_->Reset();
    enc_->setAction(QString());
    enc_->show();
    QCoreApplication::processEvents();
}

void mainForm::RLEEncoding(const std::string& /*fileName*/, int16_t step, const std::string& action,
                           const std::string& status, float progress, int32_t /*colorCount*/) {
    if (enc_) {
        enc_->ShowProgress(step, QString::fromStdString(action), QString::fromStdString(status),
                           progress);
    }
    QCoreApplication::processEvents();
}

void mainForm::RLEEncodingComplete(const std::string& /*fileName*/, bool /*success*/,
                                   bool /*paletteOverflow*/) {
    EndEncoding();
}

void mainForm::EndEncoding() {
    if (!enc_) {
        return;
    }
    CloseEncodingWindow(enc_);
    busy_.Unlock();
}

}  // namespace zorix
