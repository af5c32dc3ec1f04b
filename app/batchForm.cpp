#include "app/batchForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/BatchIcons.h"
#include "app/BatchProgress.h"
#include "app/BatchTargetFolder.h"
#include "app/CommandButton.h"
#include "app/FileDropList.h"
#include "app/FileListRules.h"
#include "app/NativePath.h"
#include "app/ProgressBar.h"
#include "app/SaveDialogRules.h"
#include "app/modSettings.h"
#include "app/modShell.h"
#include "button/VkButton.h"
#include "controls/VkProgressBar.h"
#include "platform/FileIO.h"

namespace zorix {

namespace {

namespace batch = quenda::batch;

const QString kCaption = QStringLiteral("Batch conversion");
constexpr qint64 kEventsIntervalMs = 40;
const QString kUnknownTime = QStringLiteral("??:??:??");
const QString kFilter = QStringLiteral("Supported images|") + ImageFilePatterns();
const QString kKeptNote = QStringLiteral(
    "kept: the target folder was emptied, but never of "
    "the files of this list");

// Target formats by list index; the save type is the index + kFirstSaveIndex.
const std::array<const char*, kLastSaveIndex - kFirstSaveIndex + 1> kTargetFormats = {
    "RLE Bitmap (iPAQ)", "BMP (RGB)", "BMP (aRGB)", "PNG", "JPG"};

QString Reason(const quenda::Failure& failure) {
    return QString::fromStdString(failure.Text());
}

QLabel* MakeLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

batchForm::batchForm(Prompter& prompter, QWidget* parent)
    : QDialog(parent), prompter_(prompter), volumeRoots_(MountedVolumeRoots()) {
    setObjectName(QStringLiteral("batchForm"));
    setWindowTitle(kCaption);
    uptime_.start();
    clock_ = [this] { return static_cast<double>(uptime_.nsecsElapsed()) / 1e9; };
    BuildList();
    BuildTarget();
    BuildOptions();
    BuildProgress();
    LayOut();
    UpdateTargetMode();
}

batchForm::~batchForm() {
    if (engine_) {
        engine_->Unsubscribe(this);
    }
}

void batchForm::BuildList() {
    llist_ = new FileDropList(this);
    llist_->setObjectName(QStringLiteral("llist"));
    llist_->setHeaderLabels({QStringLiteral("File"), QStringLiteral("Status")});
    llist_->setRootIsDecorated(false);
    llist_->setUniformRowHeights(true);
    llist_->setSelectionMode(QAbstractItemView::SingleSelection);
    llist_->setAllColumnsShowFocus(true);
    llist_->header()->resizeSection(0, 220);
    connect(llist_, &FileDropList::pathsDropped, this, &batchForm::AddDroppedItems);
    filesLabel_ = MakeLabel(QStringLiteral("Files (you can drag-n-drop them)"), llist_, this);

    addBUT_ =
        CommandButton(QStringLiteral("addBUT"), QStringLiteral("&Add"), this, ButtonSize::AtLeast);
    removeBUT_ = CommandButton(QStringLiteral("removeBUT"), QStringLiteral("&Remove"), this,
                               ButtonSize::AtLeast);
    connect(addBUT_, &VkButton::Click, this, &batchForm::addBUT_Click);
    connect(removeBUT_, &VkButton::Click, this, &batchForm::removeBUT_Click);
}

void batchForm::BuildTarget() {
    trgType_ = new QComboBox(this);
    trgType_->setObjectName(QStringLiteral("trgType"));
    for (const char* format : kTargetFormats) {
        trgType_->addItem(QString::fromLatin1(format));
    }
    trgType_->setCurrentIndex(-1);
    trgTypeLabel_ = MakeLabel(QStringLiteral("&Target format"), trgType_, this);

    trgOPT_[0] = new QRadioButton(QStringLiteral("Manual"), this);
    trgOPT_[1] = new QRadioButton(QStringLiteral("Auto (use source folders)"), this);
    trgOPT_[0]->setChecked(true);
    for (size_t i = 0; i < trgOPT_.size(); ++i) {
        trgOPT_[i]->setObjectName(QStringLiteral("trgOPT%1").arg(i));
        connect(trgOPT_[i], &QRadioButton::toggled, this, &batchForm::UpdateTargetMode);
    }

    trgFolder_ = new QLineEdit(this);
    trgFolder_->setObjectName(QStringLiteral("trgFolder"));
    trgFolderLabel_ = MakeLabel(QStringLiteral("Target f&older"), trgFolder_, this);
    browseBT_ = CommandButton(QStringLiteral("browseBT"), QStringLiteral("&Browse"), this,
                              ButtonSize::AtLeast);
    connect(browseBT_, &VkButton::Click, this, &batchForm::browseBT_Click);
}

void batchForm::BuildOptions() {
    frame1_ = new QGroupBox(QStringLiteral("Options"), this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    ckDEL_ = new QCheckBox(QStringLiteral("Delete target folder contents"), frame1_);
    ckDEL_->setObjectName(QStringLiteral("ckDEL"));
    ckOVW_ = new QCheckBox(QStringLiteral("Prompt overwrite"), frame1_);
    ckOVW_->setObjectName(QStringLiteral("ckOVW"));
    ckOVW_->setChecked(true);
    connect(ckDEL_, &QCheckBox::toggled, this, &batchForm::UpdateTargetMode);
    auto* layout = new QVBoxLayout(frame1_);
    layout->addWidget(ckDEL_);
    layout->addWidget(ckOVW_);

    runBUT_ = CommandButton(QStringLiteral("runBUT"), QStringLiteral("&Execute"), this,
                            ButtonSize::AtLeast);
    closeBUT_ = CommandButton(QStringLiteral("closeBUT"), QStringLiteral("&Close"), this,
                              ButtonSize::AtLeast);
    connect(runBUT_, &VkButton::Click, this, &batchForm::runBUT_Click);
    connect(closeBUT_, &VkButton::Click, this, &batchForm::closeBUT_Click);
}

void batchForm::BuildProgress() {
    frame2_ = new QGroupBox(QStringLiteral("Overall progress"), this);
    frame2_->setObjectName(QStringLiteral("Frame2"));
    pb_ = ProgressBar(QStringLiteral("pb"), frame2_);
    lblAct_ = new QLabel(frame2_);
    lblAct_->setObjectName(QStringLiteral("lblAct"));
    tElapsed_ = new QLabel(kUnknownTime, frame2_);
    tElapsed_->setObjectName(QStringLiteral("tElapsed"));
    tRemaining_ = new QLabel(kUnknownTime, frame2_);
    tRemaining_->setObjectName(QStringLiteral("tRemaining"));
    auto* layout = new QGridLayout(frame2_);
    layout->addWidget(pb_, 0, 0, 1, 4);
    layout->addWidget(lblAct_, 1, 0, 1, 4);
    layout->addWidget(new QLabel(QStringLiteral("Time elapsed:"), frame2_), 2, 0);
    layout->addWidget(tElapsed_, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("Time remaining:"), frame2_), 2, 2);
    layout->addWidget(tRemaining_, 2, 3);
    frame2_->hide();
}

QWidget* batchForm::BuildTargetBox() {
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(trgTypeLabel_, 0, 0);
    grid->addWidget(trgType_, 0, 1, 1, 2);
    grid->addWidget(trgOPT_[0], 1, 1);
    grid->addWidget(trgOPT_[1], 1, 2);
    grid->addWidget(trgFolderLabel_, 2, 0);
    grid->addWidget(trgFolder_, 2, 1, 1, 2);
    grid->addWidget(browseBT_, 2, 3);
    grid->setColumnStretch(2, 1);
    return box;
}

void batchForm::LayOut() {
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(addBUT_);
    listButtons->addWidget(removeBUT_);
    listButtons->addStretch(1);

    auto* commands = new QHBoxLayout;
    commands->addStretch(1);
    commands->addWidget(runBUT_);
    commands->addWidget(closeBUT_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(filesLabel_);
    layout->addWidget(llist_, 1);
    layout->addLayout(listButtons);
    layout->addWidget(BuildTargetBox());
    layout->addWidget(frame1_);
    layout->addWidget(frame2_);
    layout->addLayout(commands);
    resize(520, 520);
}

QTreeWidget* batchForm::llist() const {
    return llist_;
}

// ---------------------------------------------------------------------------
// The list

void batchForm::AddFile(const QString& path) {
    if (running_ || finished_) {
        return;  // a window serves one run
    }
    const QString name = FileNameOf(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot + 1).toUpper();
    if (!IsImageExtension(extension)) {
        return;
    }
    const QString key = QLatin1Char('k') + path.toLower();
    if (keys_.contains(key)) {
        return;
    }
    keys_.insert(key);
    auto* row = new QTreeWidgetItem(llist_);
    row->setText(0, name);
    row->setText(1, QString());
    row->setData(0, kTagRole, path);
    row->setData(0, kKeyRole, key);
    row->setToolTip(0, path);
    UpdateRunEnabled();
}

void batchForm::AddDroppedItems(const QStringList& paths) {
    for (const QString& path : paths) {
        if (!QFileInfo(path).isDir()) {
            AddFile(path);
            continue;
        }
        // Top level only; hidden entries stay out as they do in a file manager.
        const QFileInfoList entries = QDir(path).entryInfoList(QDir::Files | QDir::NoDotAndDotDot,
                                                               QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo& entry : entries) {
            AddFile(entry.filePath());
        }
    }
}

void batchForm::addBUT_Click() {
    if (running_ || finished_) {
        return;
    }
    Prompter::OpenRequest request;
    request.title = QStringLiteral("Open");
    request.filter = kFilter;
    const QStringList files = prompter_.ChooseOpenFiles(this, request);
    TakeFocusBack(this);
    for (const QString& file : files) {
        AddFile(file);
    }
}

void batchForm::removeBUT_Click() {
    if (running_ || finished_) {
        return;
    }
    QTreeWidgetItem* row = llist_->currentItem();
    if (row != nullptr && row->isSelected()) {
        keys_.remove(row->data(0, kKeyRole).toString());
        delete row;
    }
    UpdateRunEnabled();
}

void batchForm::UpdateRunEnabled() {
    runBUT_->SetEnabled(llist_->topLevelItemCount() > 0);
}

// ---------------------------------------------------------------------------
// Target and options

bool batchForm::IsManual() const {
    return trgOPT_[0]->isChecked();
}

void batchForm::UpdateTargetMode() {
    const bool manual = IsManual();
    trgFolderLabel_->setVisible(manual);
    trgFolder_->setVisible(manual);
    browseBT_->setVisible(manual);
    ckDEL_->setVisible(manual);
    // The tick of a hidden "delete" box does not switch the overwrite questions off.
    ckOVW_->setVisible(!(manual && ckDEL_->isChecked()));
}

void batchForm::browseBT_Click() {
    const QString folder = BrowseForFolder(prompter_, this).trimmed();
    TakeFocusBack(this);
    if (!folder.isEmpty()) {
        trgFolder_->setText(folder);
    }
}

// ---------------------------------------------------------------------------
// Messages

bool batchForm::Ask(const QString& text, const QString& title) {
    const Prompter::Answer answer =
        prompter_.MessageBox(this, text, title.isEmpty() ? kCaption : title,
                             Prompter::Icon::Question, Prompter::Buttons::YesNo);
    TakeFocusBack(this);
    return answer == Prompter::Answer::Yes;
}

void batchForm::Tell(const QString& text, Prompter::Icon icon, const QString& title) {
    prompter_.MessageBox(this, text, title.isEmpty() ? kCaption : title, icon,
                         Prompter::Buttons::Ok);
    TakeFocusBack(this);
}

// ---------------------------------------------------------------------------
// Checks before a run

bool batchForm::RunChecks(RunSettings& run) {
    if (llist_->topLevelItemCount() == 0) {
        Tell(QStringLiteral("The 'Files' list is empty!"), Prompter::Icon::Information);
        return false;
    }
    if (trgType_->currentIndex() < 0) {
        Tell(QStringLiteral("Please select the target format."), Prompter::Icon::Information);
        return false;
    }
    run.type = static_cast<quenda::IMG_SAVE_TYPES>(trgType_->currentIndex() + kFirstSaveIndex);
    keptInTarget_.clear();
    if (IsManual() && !CheckTargetFolder(run.folder)) {
        return false;
    }
    run.promptOverwrite = ckOVW_->isChecked() && !ckOVW_->isHidden();
    return true;
}

bool batchForm::CheckTargetFolder(QString& folder) {
    folder = trgFolder_->text().trimmed();
    if (folder.isEmpty()) {
        Tell(QStringLiteral("Please specify the target folder."), Prompter::Icon::Exclamation);
        return false;
    }
    folder = WithTrailingSeparator(folder);
    if (!IsAbsoluteFolder(folder)) {
        Tell(QStringLiteral("Invalid target folder."), Prompter::Icon::Exclamation);
        return false;
    }
    if (IsRootFolder(folder, volumeRoots_) && !ConfirmRoot()) {
        return false;
    }
    if (!EnsureFolderExists(folder)) {
        return false;
    }
    if (ckDEL_->isChecked()) {
        QStringList listed;
        for (int i = 0; i < llist_->topLevelItemCount(); ++i) {
            listed << llist_->topLevelItem(i)->data(0, kTagRole).toString();
        }
        for (const QString& kept : DeleteFolderFiles(folder, listed)) {
            keptInTarget_.insert(kept);
        }
    }
    return true;
}

bool batchForm::ConfirmRoot() {
    if (!Ask(QStringLiteral("The target folder you specified is a root folder.\n"
                            "Are you sure you want to proceed?"),
             QString())) {
        return false;
    }
    if (ckDEL_->isChecked() &&
        !Ask(QStringLiteral("Are you sure you want to delete all folder contents?"),
             QStringLiteral("Delete root folder contents"))) {
        ckDEL_->setChecked(false);
    }
    return true;
}

bool batchForm::EnsureFolderExists(const QString& folder) {
    switch (ProbeFolder(folder)) {
        case FolderProbe::Folder:
            return true;
        case FolderProbe::NotFolder:
            Tell(QStringLiteral("Invalid target folder."), Prompter::Icon::Exclamation);
            return false;
        case FolderProbe::Missing:
            break;
    }
    if (!Ask(QStringLiteral("The specified target folder does not exist.\n"
                            "Do you wish to create it?"),
             QStringLiteral("Create target folder"))) {
        return false;
    }
    if (!CreateFolder(folder)) {
        Tell(QStringLiteral("Unable to create target folder."), Prompter::Icon::Exclamation,
             QStringLiteral("Error"));
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The run

void batchForm::runBUT_Click() {
    if (running_ || finished_) {
        return;
    }
    RunSettings run;
    if (RunChecks(run)) {
        Run(run);
    }
}

void batchForm::Run(const RunSettings& run) {
    const int total = llist_->topLevelItemCount();
    StartRun();
    for (int i = 1; i <= total; ++i) {
        actText_ = QStringLiteral("Converting file %1 of %2").arg(i).arg(total);
        UpdateTimes(i, total);
        QTreeWidgetItem* row = llist_->topLevelItem(i - 1);
        llist_->setCurrentItem(row);
        llist_->scrollToItem(row);
        KeepResponsive();
        emit fileStarted(i);
        ShowOutcome(row, ConvertFile(row->data(0, kTagRole).toString(), run));
        if (CancelRequested()) {
            break;
        }
        // The bar draws itself at once, and the label lays itself out: both are
        // given their values when the window repaints, which is all anyone sees.
        barValue_ = static_cast<int>(RoundHalfEven(i * 100.0 / total));
    }
    FinishRun();
}

void batchForm::StartRun() {
    for (QWidget* control :
         std::initializer_list<QWidget*>{addBUT_, removeBUT_, runBUT_, trgType_, trgOPT_[0],
                                         trgOPT_[1], trgFolder_, browseBT_}) {
        control->setEnabled(false);
    }
    llist_->setAcceptDrops(false);
    closeBUT_->SetCaption(QStringLiteral("&Cancel"));
    running_ = true;

    engine_ = std::make_unique<quenda::ZorixImgEngine>();
    HandEngineOptions(*engine_);
    engine_->Subscribe(this);

    std::vector<std::string> sources;
    for (int i = 0; i < llist_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = llist_->topLevelItem(i);
        row->setText(1, QStringLiteral("waiting"));
        const QString source = row->data(0, kTagRole).toString();
        sources.push_back(NativePath(source));
        if (keptInTarget_.contains(source)) {
            row->setToolTip(1, kKeptNote);
        }
    }
    sources_.emplace(sources);
    start_ = clock_();
    lastUpdate_ = start_;
    actText_.clear();
    barValue_ = 0;
    lblAct_->clear();
    frame2_->show();
    frame1_->hide();
}

void batchForm::ShowRunProgress() {
    pb_->SetValue(barValue_);
    if (lblAct_->text() != actText_) {
        lblAct_->setText(actText_);
    }
}

void batchForm::FinishRun() {
    ShowRunProgress();
    engine_->Unsubscribe(this);
    engine_.reset();
    closeBUT_->SetCaption(QStringLiteral("&Close"));
    if (!closeBUT_->isEnabled()) {
        closeBUT_->SetEnabled(true);
    } else {
        Tell(QStringLiteral("Batch conversion complete."), Prompter::Icon::Information);
    }
    frame2_->hide();
    running_ = false;
    finished_ = true;
}

void batchForm::UpdateTimes(int index, int total) {
    const double now = clock_();
    if (now - lastUpdate_ < 1.0) {
        return;
    }
    const double elapsed = now - start_;
    tElapsed_->setText(FormatDuration(DurationSeconds(elapsed)));
    if (const auto remaining = RemainingSeconds(index, total, elapsed)) {
        tRemaining_->setText(FormatDuration(DurationSeconds(*remaining)));
    }
    lastUpdate_ = now;
}

bool batchForm::CancelRequested() {
    if (closeBUT_->isEnabled()) {
        return false;
    }
    if (Ask(QStringLiteral("Are you sure you want to cancel the batch process?"), QString())) {
        return true;
    }
    closeBUT_->SetEnabled(true);
    QCoreApplication::processEvents();
    return false;
}

batchForm::Outcome batchForm::ConvertFile(const QString& sourcePath, const RunSettings& run) {
    const std::string source = NativePath(sourcePath);
    const std::string target = batch::TargetPathIn(NativePath(run.folder), source, run.type);
    bool copy = false;
    if (batch::SourceIsInTargetFormat(*engine_, source, run.type)) {
        if (batch::SameFile(source, target)) {
            claims_.Claim(source, target);
            return {batch::Outcome::SkippedSame, {}};
        }
        copy = true;
    }
    if (const quenda::Failure refusal = claims_.Claim(source, target)) {
        return {batch::Outcome::ConvertError, Reason(refusal)};
    }
    if (!MayReplace(target, copy, run)) {
        return {batch::Outcome::SkippedNoOverwrite, {}};
    }
    if (copy) {
        return CopyFile(source, target);
    }
    if (!engine_->LoadImage(source)) {
        return {batch::Outcome::LoadError, Reason(engine_->LastFailure())};
    }
    if (!engine_->SaveImageAs(target, run.type)) {
        return {batch::Outcome::ConvertError, Reason(engine_->LastFailure())};
    }
    return {batch::Outcome::Done, {}};
}

bool batchForm::MayReplace(const std::string& target, bool copy, const RunSettings& run) {
    const QString targetPath = FromNativePath(target);
    // A file of this run's own list is only ever replaced when the user says so.
    const bool listed = !sources_->Replaced(target).empty();
    const bool exists = quenda::fileio::FileLength(target).value_or(0) > 0;
    if (!listed && (copy || !run.promptOverwrite || !exists)) {
        return true;
    }
    return Ask(
        QStringLiteral("File '%1' already exists.\nOverwrite existing file?").arg(targetPath),
        QStringLiteral("Overwrite file"));
}

batchForm::Outcome batchForm::CopyFile(const std::string& source, const std::string& target) {
    if (batch::CopyFileReplacing(source, target)) {
        return {batch::Outcome::CopyOk, {}};
    }
    return {batch::Outcome::CopyError, Reason(quenda::fileio::LastWriteFailure())};
}

void batchForm::ShowOutcome(QTreeWidgetItem* row, const Outcome& outcome) {
    const QString icon = batch::IsFailure(outcome.status)   ? QStringLiteral("x")
                         : batch::IsSkipped(outcome.status) ? QStringLiteral("skip")
                                                            : QStringLiteral("ok");
    row->setText(1, QString::fromUtf8(batch::OutcomeText(outcome.status)));
    row->setIcon(0, BatchIcon(icon));
    row->setData(0, kIconRole, icon);
    const bool kept = keptInTarget_.contains(row->data(0, kTagRole).toString());
    row->setToolTip(1, !outcome.reason.isEmpty() ? outcome.reason : kept ? kKeptNote : QString());
}

// ---------------------------------------------------------------------------
// Progress of the current file

QTreeWidgetItem* batchForm::SelectedRow() const {
    QTreeWidgetItem* row = llist_->currentItem();
    return row != nullptr && row->isSelected() ? row : nullptr;
}

void batchForm::SetStatus(const QString& text) {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr || row->text(1) == text) {
        return;
    }
    row->setText(1, text);
    KeepResponsive();
}

void batchForm::KeepResponsive() {
    // A progress event comes per image row: letting the window repaint after each
    // one would cost many times the conversion itself, while a few times a second
    // keeps it just as live.
    if (sinceEvents_.isValid() && sinceEvents_.elapsed() < kEventsIntervalMs) {
        return;
    }
    ShowRunProgress();
    QCoreApplication::processEvents();
    sinceEvents_.restart();
}

bool batchForm::StatusDue(float progress) {
    // The start and end of a phase always show; the steps between only as often as
    // the window repaints. The clock is read once per whole percent at most: an
    // event comes per image row, and reading the clock can cost a system call.
    if (!(progress > 0 && progress < 100)) {
        checkedPercent_ = -1;  // a new phase counts from its start
        return true;
    }
    const int percent = static_cast<int>(progress);
    if (percent == checkedPercent_) {
        return false;
    }
    checkedPercent_ = percent;
    return !sinceEvents_.isValid() || sinceEvents_.elapsed() >= kEventsIntervalMs;
}

void batchForm::RLEDecoding(const std::string&, float progress) {
    if (SelectedRow() != nullptr && StatusDue(progress)) {
        SetStatus(DecodingStatus(progress));
    }
}

void batchForm::RLEEncoding(const std::string&, int16_t, const std::string& action,
                            const std::string&, float progress, int32_t) {
    if (SelectedRow() != nullptr && StatusDue(progress)) {
        SetStatus(EncodingStatus(QString::fromStdString(action), progress));
    }
}

// ---------------------------------------------------------------------------
// Closing

void batchForm::closeBUT_Click() {
    if (running_) {
        // The run notices after the current file and asks.
        closeBUT_->SetEnabled(false);
        return;
    }
    close();
}

void batchForm::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void batchForm::reject() {
    if (!running_) {
        QDialog::reject();
    }
}

void OpenBatchWindow(Prompter& prompter, QWidget* parent) {
    batchForm form(prompter, parent);
    form.exec();
}

}  // namespace zorix
