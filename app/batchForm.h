#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QSet>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "app/Prompter.h"
#include "engine/BatchRules.h"
#include "engine/SourceGuard.h"
#include "engine/ZorixImgEngine.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;
class VkButton;
class VkProgressBar;

namespace zorix {

class FileDropList;

// The batch conversion window: a list of images converted in one run into one
// target format, next to their sources or into one folder. A window serves one
// run; each run has an engine of its own.
class batchForm : public QDialog, public quenda::ZorixImgEngineEvents {
    Q_OBJECT
  public:
    // Item data of a row (column 0): the full path, the key and the outcome icon's name.
    static constexpr int kTagRole = Qt::UserRole;
    static constexpr int kKeyRole = Qt::UserRole + 1;
    static constexpr int kIconRole = Qt::UserRole + 2;

    explicit batchForm(Prompter& prompter, QWidget* parent = nullptr);
    ~batchForm() override;

    // Adds an image file (".bmp", ".png", ".gif") unless the list holds it already,
    // paths compared without regard to case.
    void AddFile(const QString& path);
    // Dropped items: a file is added, a folder adds the files of its top level.
    void AddDroppedItems(const QStringList& paths);

    bool IsRunning() const { return running_; }
    bool RunFinished() const { return finished_; }
    // The engine of the run going on, or nullptr.
    quenda::ZorixImgEngine* RunEngine() const { return engine_.get(); }
    // Seconds from an arbitrary start; the run's time display reads it.
    void setClock(std::function<double()> clock) { clock_ = std::move(clock); }
    // The folders that count as volume roots for the root question.
    void setVolumeRoots(const QStringList& roots) { volumeRoots_ = roots; }

    // Command handlers, as the buttons call them.
    void addBUT_Click();
    void removeBUT_Click();
    void browseBT_Click();
    void runBUT_Click();
    void closeBUT_Click();

    // Controls, for the program's tests.
    QTreeWidget* llist() const;
    VkButton* addBUT() const { return addBUT_; }
    VkButton* removeBUT() const { return removeBUT_; }
    QComboBox* trgType() const { return trgType_; }
    QRadioButton* trgOPT(int index) const { return trgOPT_.at(static_cast<size_t>(index)); }
    QLineEdit* trgFolder() const { return trgFolder_; }
    VkButton* browseBT() const { return browseBT_; }
    QGroupBox* Frame1() const { return frame1_; }
    QCheckBox* ckDEL() const { return ckDEL_; }
    QCheckBox* ckOVW() const { return ckOVW_; }
    VkButton* runBUT() const { return runBUT_; }
    VkButton* closeBUT() const { return closeBUT_; }
    QGroupBox* Frame2() const { return frame2_; }
    VkProgressBar* pb() const { return pb_; }
    QLabel* lblAct() const { return lblAct_; }
    QLabel* tElapsed() const { return tElapsed_; }
    QLabel* tRemaining() const { return tRemaining_; }

    // Engine events of the run: progress in the selected row's status cell.
    void RLEDecoding(const std::string& fileName, float progress) override;
    void RLEEncoding(const std::string& fileName, int16_t step, const std::string& action,
                     const std::string& status, float progress, int32_t colorCount) override;

  signals:
    // File `index` (1-based) of a run starts; the time display is up to date.
    void fileStarted(int index);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    // What a run works with, fixed when it starts.
    struct RunSettings {
        quenda::IMG_SAVE_TYPES type = quenda::IS_AUTO;
        QString folder;  // manual target folder ending in "/"; empty in automatic mode
        bool promptOverwrite = true;
    };
    struct Outcome {
        quenda::batch::Outcome status = quenda::batch::Outcome::Done;
        QString reason;  // tool tip of the status cell
    };

    void BuildList();
    void BuildTarget();
    void BuildOptions();
    void BuildProgress();
    void LayOut();
    QWidget* BuildTargetBox();

    bool IsManual() const;
    void UpdateTargetMode();
    void UpdateRunEnabled();
    bool Ask(const QString& text, const QString& title);
    void Tell(const QString& text, Prompter::Icon icon, const QString& title = QString());

    bool RunChecks(RunSettings& run);
    bool CheckTargetFolder(QString& folder);
    bool ConfirmRoot();
    bool EnsureFolderExists(const QString& folder);

    void Run(const RunSettings& run);
    void StartRun();
    void FinishRun();
    void UpdateTimes(int index, int total);
    bool CancelRequested();
    Outcome ConvertFile(const QString& source, const RunSettings& run);
    bool MayReplace(const std::string& target, bool copy, const RunSettings& run);
    Outcome CopyFile(const std::string& source, const std::string& target);
    void ShowOutcome(QTreeWidgetItem* row, const Outcome& outcome);
    QTreeWidgetItem* SelectedRow() const;
    void SetStatus(const QString& text);
    void KeepResponsive();
    void ShowRunProgress();
    bool StatusDue(float progress);

    Prompter& prompter_;
    FileDropList* llist_ = nullptr;
    QLabel* filesLabel_ = nullptr;
    VkButton* addBUT_ = nullptr;
    VkButton* removeBUT_ = nullptr;
    QLabel* trgTypeLabel_ = nullptr;
    QComboBox* trgType_ = nullptr;
    std::array<QRadioButton*, 2> trgOPT_{};
    QLabel* trgFolderLabel_ = nullptr;
    QLineEdit* trgFolder_ = nullptr;
    VkButton* browseBT_ = nullptr;
    QGroupBox* frame1_ = nullptr;
    QCheckBox* ckDEL_ = nullptr;
    QCheckBox* ckOVW_ = nullptr;
    VkButton* runBUT_ = nullptr;
    VkButton* closeBUT_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    VkProgressBar* pb_ = nullptr;
    QLabel* lblAct_ = nullptr;
    QLabel* tElapsed_ = nullptr;
    QLabel* tRemaining_ = nullptr;

    std::unique_ptr<quenda::ZorixImgEngine> engine_;
    bool running_ = false;
    bool finished_ = false;
    QElapsedTimer uptime_;
    std::function<double()> clock_;
    QStringList volumeRoots_;
    double start_ = 0;
    double lastUpdate_ = 0;
    QElapsedTimer sinceEvents_;  // since pending events last ran during a file
    int barValue_ = 0;           // progress bar value, shown when the window repaints
    QString actText_;            // lblAct's text, likewise
    int checkedPercent_ = -1;    // whole percent of the last progress event that read the clock
    quenda::batch::TargetClaims claims_;
    QSet<QString> keys_;                                 // "k" + lower-case path of every row
    std::optional<quenda::batch::SourceGuard> sources_;  // the run's own files
    QSet<QString> keptInTarget_;  // files of the list left in an emptied target folder
};

// Opens the batch window modally over `parent` and destroys it when it closes.
void OpenBatchWindow(Prompter& prompter, QWidget* parent);

}  // namespace zorix
