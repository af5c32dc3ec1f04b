#pragma once

#include <QMainWindow>
#include <QPointF>
#include <array>
#include <memory>
#include <optional>

#include "app/BusyGuard.h"
#include "app/DevicePreview.h"
#include "app/ExplorerLayout.h"
#include "app/FileListView.h"
#include "app/PreviewFit.h"
#include "app/PreviewLayout.h"
#include "app/SaveDialogRules.h"
#include "engine/ZorixImgEngine.h"

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace zorix {

class DriveList;
class FolderList;
class HeaderStrip;
class PalettePanel;
class ZoomPicture;
class Prompter;
class SplitterBar;
class encForm;
class pbForm;

// The explorer window: drive, folder and file lists beside the preview, the
// information line below and the header strip with the save buttons above.
class mainForm : public QMainWindow, public quenda::ZorixImgEngineEvents {
    Q_OBJECT
  public:
    // Background colour of the preview area, 0x00BBGGRR.
    static constexpr int32_t kPreviewColor = 0x808080;
    // Role of an item's key (its full path) in the file list.
    static constexpr int kKeyRole = FileListView::kKeyRole;
    // Role of an item's tag (its upper-case extension) in the file list.
    static constexpr int kTagRole = FileListView::kTagRole;

    explicit mainForm(Prompter& prompter, QWidget* parent = nullptr);
    ~mainForm() override;

    // The start-up sequence: engine, options, caption, folders, placement, layout.
    void Startup();

    bool SaveEnabled() const;
    void setSaveEnabled(bool enabled);

    bool PBVisible() const { return pb_ != nullptr; }
    void setPBVisible(bool visible);
    float PBValue() const;
    void setPBValue(float value);
    QString PBTitle() const;
    void setPBTitle(const QString& text);
    QString PBAction() const;
    void setPBAction(const QString& text);

    // The save command of index 1 to 5 (menu item and header button alike): the
    // save dialog, the engine's SaveImageAs, then the file list or the error.
    void SaveFile(int index);

    // Loads a file through the engine and shows it with its information line.
    void ShowImageFile(const QString& path);
    // The resize handler: explorer rules (unless suspended), then the preview.
    void FormResize();
    // Rebuilds the file list from the folder list's current folder.
    void FillFileList();

    // Parts of the window, for the program's own tests and later windows.
    quenda::ZorixImgEngine* Engine() { return engine_.get(); }
    const ExplorerGeometry& Geometry() const { return g_; }
    const PreviewGeometry& Preview() const { return p_; }
    QString ShownPath() const { return shownPath_; }
    bool IsLoading() const { return loading_; }
    DriveList* Drive1() const { return drive1_; }
    FolderList* Dir1() const { return dir1_; }
    QTreeWidget* llist() const { return llist_; }
    QLabel* status() const { return status_; }
    QLabel* trgPIC() const { return trgPIC_; }
    QLabel* badpic() const { return badpic_; }
    QScrollBar* hsb() const { return hsb_; }
    QScrollBar* vsb() const { return vsb_; }
    QFrame* corner() const { return corner_; }
    SplitterBar* hmove() const { return hmove_; }
    SplitterBar* vmove() const { return vmove_; }
    QFrame* bkg() const { return bkg_; }
    QWidget* client() const { return client_; }
    pbForm* ProgressWindow() const { return pb_; }
    encForm* EncodingWindow() const { return enc_; }
    const BusyGuard& Busy() const { return busy_; }
    QAction* mShowBorder() const { return mShowBorder_; }
    QAction* mPaintAlpha() const { return mPaintAlpha_; }
    QAction* mSaveFile(int index) const;
    QWidget* btSave(int index) const;
    QMenu* mSave() const { return mSave_; }

    // Opens the folder of a path (or "file:" URL) and shows the file it names, as
    // the command line and a drop onto the window ask; false when it names nothing.
    bool OpenLocation(const QString& pathOrUrl);
    // Reads the drives, the folder and the files again, keeping the selected file.
    void RefreshLists();
    bool FitToWindow() const;
    QAction* mFitWindow() const { return mFitWindow_; }
    QAction* mRefresh() const { return mRefresh_; }

    // The workbench views: zoom, the pixel inspector, the palette panel and the
    // device preview; all off until chosen.
    QAction* mZoomIn() const { return mZoomIn_; }
    QAction* mZoomOut() const { return mZoomOut_; }
    QAction* mActualSize() const { return mActualSize_; }
    QAction* mPalette() const { return mPalette_; }
    QAction* mDevicePreview() const { return mDevicePreview_; }
    PalettePanel* Palette() const { return palettePanel_; }
    QLabel* zoomField() const { return zoomField_; }
    QLabel* previewField() const { return previewField_; }
    QLabel* pixelField() const { return pixelField_; }
    // The scale the picture is shown at (1 at its own size).
    double ShownScale() const;
    // Sets the zoom, keeping the picture point under `anchor` (view coordinates;
    // the view's centre when none) in place.
    void ZoomTo(double scale, std::optional<QPoint> anchor = std::nullopt);
    // What the inspector says for a point of the view; empty off the picture.
    QString InspectAt(QPoint viewPoint) const;
    // The picture the view shows now (the original, its device preview, highlighted).
    const QImage& ShownPicture() const { return picture_.Image(); }
    const DevicePreview* DeviceView() const { return preview_ ? &*preview_ : nullptr; }

    // Engine events.
    void RLEDecodingStarted(const std::string& fileName) override;
    void RLEDecoding(const std::string& fileName, float progress) override;
    void RLEDecodingComplete(const std::string& fileName, bool success) override;
    void RLEEncodingStarted(const std::string& fileName) override;
    void RLEEncoding(const std::string& fileName, int16_t step, const std::string& action,
                     const std::string& status, float progress, int32_t colorCount) override;
    void RLEEncodingComplete(const std::string& fileName, bool success,
                             bool paletteOverflow) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenus();
    void BuildHeader();
    void BuildExplorer();
    void BuildPreview();
    void ApplyExplorerGeometry();
    void LayoutPreview();
    void ApplyPreviewGeometry();
    void ClearPreview();
    void ShowInvalidFile();
    void SizeImageControl();
    void SetExplorerEnabled(bool enabled);

    // Options, update check and about box from the menus.
    void HookUpDialogs();
    void OptionsClicked();
    void ApplyEngineOptions();

    void DriveChanged();
    void RestoreLastFolder(const QString& defaultFolder);
    void RestoreWindowPos();
    void RestoreWindowState();
    void RestoreExplorerSizes();
    void SaveOnExit();

    void VmovePressed(QPointF twips);
    void VmoveMoved(QPointF twips);
    void VmoveReleased();
    void HmovePressed(QPointF twips);
    void HmoveMoved(QPointF twips);
    void HmoveReleased();
    void ScrollChanged(Qt::Orientation orientation, int value);
    void ShowBorderClicked();
    void PaintAlphaClicked();
    void FileSelected();
    void SelectShownFile();
    void ReloadShownImage();
    void EndEncoding();

    // Viewer additions: the view's scrolling, fitting, refreshing, limits, drops.
    void BuildViewExtras();
    void ApplyViewerSettings();
    void FitToWindowClicked();
    void ApplyFit();
    QSize FitArea() const;
    void UpdateMinimumSize();
    void KeepWindowOnScreen();
    void ShowListedFile(const QString& path);

    // Workbench additions (mainForm_Workbench.cpp).
    void BuildWorkbench();
    void BuildStatusFields();
    bool Zoomed() const;
    void ShowZoomField();
    bool WorkbenchEvent(QEvent* event);
    void ShowPixelAt(QPoint viewPoint);
    void ReadDeviceMap(const QString& path);
    void SetPictureFromEngine();
    void UpdatePreview();
    void ShowShownPicture();
    void UpdatePalettePanel();
    void HighlightEntry(int index);
    const quenda::RLEIndexMap* ShownMap() const;

    Prompter& prompter_;
    std::unique_ptr<quenda::ZorixImgEngine> engine_;
    ExplorerGeometry g_;
    PreviewGeometry p_;

    QWidget* client_ = nullptr;
    HeaderStrip* header_ = nullptr;
    DriveList* drive1_ = nullptr;
    FolderList* dir1_ = nullptr;
    SplitterBar* hmove_ = nullptr;
    FileListView* llist_ = nullptr;
    SplitterBar* vmove_ = nullptr;
    QFrame* bkg_ = nullptr;
    QWidget* bkgInner_ = nullptr;
    QLabel* trgPIC_ = nullptr;
    QLabel* badpic_ = nullptr;
    QScrollBar* hsb_ = nullptr;
    QScrollBar* vsb_ = nullptr;
    QFrame* corner_ = nullptr;
    QLabel* status_ = nullptr;
    pbForm* pb_ = nullptr;
    encForm* enc_ = nullptr;

    QMenu* mFile_ = nullptr;
    QMenu* mView_ = nullptr;
    QMenu* mHelp_ = nullptr;
    QMenu* mSave_ = nullptr;
    std::array<QAction*, kLastSaveIndex + 1> mSaveFile_{};  // by save index
    QAction* mShowBorder_ = nullptr;
    QAction* mPaintAlpha_ = nullptr;

    QString shownPath_;  // the preview image's tag
    bool loading_ = true;
    bool vDrag_ = false;
    bool layoutSuspended_ = false;
    bool hDrag_ = false;
    int grab_ = 0;
    bool smallFile_ = false;
    bool settingBars_ = false;  // the bars' "X" tag

    QAction* mFitWindow_ = nullptr;
    QAction* mRefresh_ = nullptr;
    PreviewPicture picture_;  // what the view shows of the shown file

    ZoomPicture* zoomPic_ = nullptr;  // trgPIC
    double zoom_ = 1;
    bool zoomChosen_ = false;  // a zoom command overrides fitting until fit is chosen
    QAction* mZoomIn_ = nullptr;
    QAction* mZoomOut_ = nullptr;
    QAction* mActualSize_ = nullptr;
    QAction* mPalette_ = nullptr;
    QAction* mDevicePreview_ = nullptr;
    PalettePanel* palettePanel_ = nullptr;
    QLabel* zoomField_ = nullptr;
    QLabel* previewField_ = nullptr;
    QLabel* pixelField_ = nullptr;
    QImage original_;                             // the engine's picture
    std::optional<quenda::RLEIndexMap> fileMap_;  // of a shown device bitmap
    std::optional<DevicePreview> preview_;        // while the device preview is on
    int highlight_ = -1;                          // the palette entry highlighted
    // No second engine call and no close while one runs.
    BusyGuard busy_{this};
};

}  // namespace zorix
