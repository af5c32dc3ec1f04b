#include "app/QtPrompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace zorix {

namespace {

QMessageBox::Icon BoxIcon(Prompter::Icon icon) {
    switch (icon) {
        case Prompter::Icon::Critical:
            return QMessageBox::Critical;
        case Prompter::Icon::Question:
            return QMessageBox::Question;
        case Prompter::Icon::Exclamation:
            return QMessageBox::Warning;
        case Prompter::Icon::Information:
            return QMessageBox::Information;
        case Prompter::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons BoxButtons(Prompter::Buttons buttons) {
    switch (buttons) {
        case Prompter::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case Prompter::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Prompter::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Prompter::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

Prompter::Answer AnswerOf(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return Prompter::Answer::Yes;
        case QMessageBox::No:
            return Prompter::Answer::No;
        case QMessageBox::Ok:
            return Prompter::Answer::Ok;
        default:
            return Prompter::Answer::Cancel;
    }
}

}  // namespace

Prompter::Answer QtPrompter::MessageBox(QWidget* parent, const QString& text, const QString& title,
                                        Icon icon, Buttons buttons) {
    QMessageBox box(BoxIcon(icon), title, text, BoxButtons(buttons), parent);
    return AnswerOf(box.exec());
}

QString QtPrompter::ChooseFolder(QWidget* parent, const QString& title) {
    return QFileDialog::getExistingDirectory(parent, title, QString(), QFileDialog::ShowDirsOnly);
}

QString QtPrompter::DialogFilter(const QString& filter) {
    const QStringList pieces = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < pieces.size(); i += 2) {
        // The dialog separates patterns with blanks, not with ";".
        QString patterns = pieces[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        entries << QStringLiteral("%1 (%2)").arg(pieces[i], patterns);
    }
    return entries.join(QStringLiteral(";;"));
}

QString QtPrompter::ChooseSaveFile(QWidget* parent, const SaveRequest& request) {
    QFileDialog dialog(parent, request.title, request.initialFolder, DialogFilter(request.filter));
    // Qt's own dialog behaves the same under every desktop and from the keyboard:
    // the name field has the focus, typing a name and Enter saves.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.selectFile(request.initialName);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.promptOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().first();
}

QStringList QtPrompter::ChooseOpenFiles(QWidget* parent, const OpenRequest& request) {
    QFileDialog dialog(parent, request.title, request.initialFolder, DialogFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    // Qt's own dialog behaves the same on every desktop: several names can be typed,
    // each in double quotes, into its file name box.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles();
}

}  // namespace zorix
