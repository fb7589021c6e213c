#pragma once
// The main window. It owns every control and all editing state; each
// subsystem's handlers live in the files of its folder (shell, documents,
// canvas, floorplan, clipboard, processing, text).
#include "documents/plan_document.h"
#include "imaging/draw/gf5print.h"
#include "imaging/effects/gf5effect.h"
#include "imaging/io/gf5file.h"
#include "imaging/scan/gf5scan.h"
#include "imaging/store/gf5common.h"
#include "imaging/widgets/gf5disp.h"
#include "imaging/widgets/gf5thumb.h"
#include <QString>
#include <QRect>
#include <QStringList>
#include <QWidget>
#include <QPolygonF>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace documents {
class WallReader;
}
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabBar;
class QToolButton;
class ProgressWindow;
class StatusLine;
namespace floorplan {
class TraceAssist;
enum class KeypadDirection;
enum class WallConfirm;
} // namespace floorplan
namespace recovery {
class Keeper;
}

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // args: the program's arguments (without the program name); programDir:
    // the folder that holds the settings file and the parts library.
    MainWindow(const QStringList& args, const QString& programDir, QWidget* parent = nullptr);
    ~MainWindow() override;

    QString programDir() const { return m_programDir; }

    // ---- Shell: start-up, layout, settings, shutdown, display scale ------
    void Form_Load();
    void Form_Paint();             // the window repaint: canvas and preview redrawn
    void tabPanels_Click();
    void sldRotateAngle_Change();
    void RelayoutWindow(int width, int height);
    void WaitMilliseconds(int32_t ms);
    QString ReadSetting(const QString& section, const QString& key) const;
    void Form_QueryUnload();
    void Form_Unload();
    void btnQuit_Click();
    void optDisplayScale_Click(int index);
    void cmbDispPer_Click();
    void selectDisplayScale(int index); // selects the option and runs its handler
    void showZoomInControls(double factor); // after a wheel zoom
    void installCanvasNavigation();          // Ctrl+wheel zoom, Shift+wheel sideways
    // Shows the selection kept in SavedSel* again, when there was one.
    void restoreSavedSelection();
    // Progress window (file and effect reads report here)
    void ShowProgress();
    void CloseProgress();
    void OnProgress(int16_t percent);
    void progressCancel_Click();
    // Side-choice window: sets SideChoice (0 cancelled, 1 or 2 the answer).
    void AskSide(const QString& line1, const QString& line2, const QString& answer1,
                 const QString& answer2);

    // ---- Documents: new image, title, open, save, revert -----------------
    void btnNewImage_Click();
    void UpdateTitle();
    // Writes the document's resolution into the canvas image.
    void StampDocumentResolution();
    // The plan's real size: shown in btnPlanScale and the wall sizes'
    // tooltips, set by 縮尺と解像度 or 寸法で合わせる (one undo step, no
    // resampling; false when the values cannot be used).
    void buildPlanScaleControls();
    void refreshPlanScale();
    bool setPlanScale(double dpi, int scaleDenominator);
    void mnuEditScale_Click();
    void mnuEditCalibrate_Click();
    QPushButton* btnPlanScale = nullptr;
    QAction *mnuEditScale = nullptr, *mnuEditCalibrate = nullptr;
    void btnOpen_Click();
    void btnSave_Click(int index);
    void mnuEditSave_Click();
    void btnSaveVertion_Click();
    void SaveDocument(bool asNew);
    bool AdoptLoadedImage(bool skipSnapshot);
    // Releases the canvas image and forgets every other reference to it that
    // would otherwise point at a released image (the undo snapshot).
    void ReleaseCanvasImage();
    // True for files the program keeps for itself (program folder, the
    // user's parts and recovery folders, the run's temporary folder).
    bool IsOwnFile(const QString& path) const;
    // The path the save dialog starts with (never one of the program's own files).
    QString saveProposal() const;
    QString LastSaveFolder; // the folder of the last successful save of this run

    // ---- Documents: recovery of unsaved work --------------------------------
    // After an open, save, scan or new image: the canvas holds no unsaved work.
    void markDocumentClean();
    // The window closes or the program is ended: keeps the canvas when it
    // has unsaved work. When no copy can be written and askWhenNotKept, asks
    // whether to save; false when the window should stay open.
    bool keepUnsavedWork(bool askWhenNotKept = false);
    // At start, once the window is up: offers back a kept copy.
    void offerRecovery();
    recovery::Keeper& recoveryKeeper();
    recovery::Keeper* Recovery = nullptr;
    // The plan's own facts: path, recovered or not, unsaved work,
    // resolution and scale, wall map.
    documents::PlanDocument document;
    // Reads the canvas's walls in the background (after an open, a scan, a
    // new image and underlay creation) into document's wall map; underlay:
    // the canvas is an underlay, and pure greys are the user's tracing.
    void readWalls(bool underlay);
    // The picture was turned, resized or trimmed: its walls are read again
    // the way the last reading did.
    void rereadWalls();
    // A picture with no walls to read (a blank sheet): no map, no reading.
    void forgetWalls();
    // A margin: the picture floats at the top left of a larger sheet. Its
    // map waits with it (where it floats, the map, how it was read) and
    // comes back when the picture is laid in there; laid in elsewhere, at
    // another size, or taken away, the sheet is read again.
    void keepWallsOnLargerSheet();
    void wallsAfterFloatingPaste(bool laidIn);
    struct WallsOfFloatingPicture {
        QRect at;
        std::shared_ptr<const ink::WallMap> map;
        bool underlay = false;
    };
    WallsOfFloatingPicture wallsFollowPaste;
    void keepWallsForUndo();   // with each undo snapshot: the map it shows
    void restoreWallsOfUndo(); // an undo: the snapshot's map comes back
    // The document's map when it was read from a picture of the canvas's
    // size, else null: a map of another picture never steers the tracer.
    std::shared_ptr<const ink::WallMap> canvasWallMap() const;
    documents::WallReader* wallReader = nullptr;
    // Which reading a map came from (one per readWalls), how it was read,
    // and how many walls the tracer had traced on it.
    struct WallsReading {
        quint64 generation = 0;
        bool underlay = false;
        std::shared_ptr<const ink::WallMap> map;
        int traced = 0;
    };
    WallsReading wallsNow, wallsOfUndo;
    // A reading starts once the canvas has painted the picture it reads
    // (the file opened at start, or any new picture in a shown window): it
    // would otherwise share the processors with that paint.
    bool wallsHeldForPaint = false;
    bool wallsWaiting = false;
    void startWallReading();
    void releaseHeldWalls();
    // The file named at start. Opened at once, or, when a reduced copy of it
    // was decoded ahead, shown as that copy first and opened after the
    // window's first paint (input waits until then).
    void openFirstFile();
    bool showStandInForFirstFile();
    void finishFirstFile();
    bool firstFilePending = false;
    bool recoveryAfterFirstFile = false;

    // ---- Processing: one-level undo ---------------------------------------
    // False when there is no canvas image or no copy could be made.
    bool TakeUndoSnapshot();
    // The same for an image just opened, without copying its pixels until
    // the canvas image first changes.
    bool TakeSharedUndoSnapshot();
    void btnUndo_Click();
    // Forgets the snapshot (releasing it unless the canvas shows it).
    void ReleaseUndoSnapshot();
    // An undo step whose result replaces the canvas image: the old snapshot
    // goes at once (its memory serves the result), and once the result is
    // made the image it replaces becomes the snapshot as it is, uncopied.
    void startReplacingUndoStep();
    void keepCanvasAsUndoSnapshot();
    // A document was loaded: undo starts from its picture, or has nothing.
    void startDocumentUndo();
    // The user's undo (button, menu, Ctrl+Z): a floating paste ends alone.
    void undoCommand();

    // ---- Canvas: clicks, edit menu, shapes, fills, colour -----------------
    void dspCanvas_CanvasClick(int button, int x, int y);
    bool IsNearSelection(int32_t x, int32_t y) const;
    void ClearSelection();
    void FitSelectionToWallSize(bool useWallSize);
    void optSize_Click(int index);
    void btnArrow_Click(int index);
    void prepareEditMenu();
    void mnuEditNuri_Click();
    void mnuEditMojiPaste_Click();
    void mnuEditClipCopy_Click();
    void mnuEditClipInsert_Click();
    void mnuEditClipPaste_Click();
    void mnuEditClipPasteToka_Click();
    void mnuEditAnti_Click();
    void mnuEditUndo_Click();
    void returnFocusToCanvas(); // cmbPenStyle, cmbWidth, optColorPicMethod clicks
    void btnFill_Click(int index);
    void DrawSelectionShape(int16_t tool, bool useWallPen, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void FillSelection(int32_t colour);
    void FillRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour);
    void btnFillMode_Click();
    void FillAtPoint(int32_t x, int32_t y);
    void PickColorAt(int32_t x, int32_t y);
    void btnColorPic_Click();
    void btnColorDialog_Click();
    int32_t currentColour() const; // back colour of lblColor
    void setCurrentColour(int32_t colour);
    void btnAntiAlias_Click(); // anti-alias effect (reached from the edit menu)
    // Lays in a floating paste, drops other drawing not yet committed, enters the
    // drawing state and returns the canvas's working pixels (nullptr when
    // there are none), for commands that rework the whole picture in memory.
    QImage* freshDrawingPixels();
    // Mouse pointer of the whole application: 0 default, 2 the cross of the
    // colour pick, 99 the fill-mode cursor.
    void setScreenPointer(int pointer);
    int ScreenPointer = 0;

    // ---- Clipboard: copy, floating paste ----------------------------------
    void btnClipCopy_Click();
    void btnClipPaste_Click();
    void btnClipSet_Click();
    void PasteFromClipboard(bool forFill);
    void dspCanvas_SelectionChanged();
    void ConfirmPaste(bool takeSnapshot, bool transparent);
    void CutOutSelection(int which);
    void StampCutOutBack();
    void WidenWhite();
    void OverlayPasteTransparent();
    // Images the paste machinery owns, each released exactly once: the
    // floating picture (also fxCanvas.ResultImage while it floats) and the
    // pixels saved by CutOutSelection(1) for StampCutOutBack.
    int32_t FloatingPicture = 0;
    int32_t SavedCutOut = 0;
    // Where SavedCutOut was cut from. Kept apart from SavedSel*, which undo,
    // scale changes and a moving paste overwrite, so the pixels always go
    // back where they came from.
    int32_t SavedCutOutLeft = 0, SavedCutOutTop = 0, SavedCutOutRight = 0, SavedCutOutBottom = 0;
    // The rectangle the floating picture was last drawn into; a confirm
    // uses it even when the selection was cleared meanwhile.
    int32_t FloatLeft = 0, FloatTop = 0, FloatRight = 0, FloatBottom = 0;
    void setFloatRect(int32_t l, int32_t t, int32_t r, int32_t b);
    // Lays the floating picture into the image with its pure white left out.
    void confirmFloatingTransparent(int32_t picture, bool takeSnapshot);
    // Ends a floating paste: clears PasteFloating, releases the picture.
    void endFloatingPaste();
    // Escape or undo while a paste floats: the picture goes, the canvas
    // stays as it was before the paste. False when nothing floated.
    bool cancelFloatingPaste();
    // Before a command that must see the picture as shown (save, print,
    // copy, whole-image commands): a floating paste is laid in as 貼 would
    // lay it, the selection kept, and the status line says so before what
    // (保存, 印刷 ...). False when nothing floated.
    bool layInFloatingPaste(const QString& before);
    // Releases an image this window created, unless a display shows it or it
    // is the undo snapshot; effect slots naming a released image are cleared.
    void releaseWorkImage(int32_t handle);

    // ---- Floor plan: keyboard map, walls, doors ---------------------------
    // keyCode: virtual key code; shift: 1 Shift, 2 Ctrl, 4 Alt.
    void Form_KeyDown(int keyCode, int shift);
    bool ctrlKeyDown() const; // the Control key's state at the current input event
    void ConfirmSolidWall();
    void ConfirmDoubleWall(bool crossMark);
    void TreatCorner(int code);
    void MakeDoor();
    void MakeSlidingDoor();
    void chkGomitori_Click();
    void cmbGomiDot_Click();
    // The saved pixels of the marked start square (the cut-out handle taken
    // when the start was marked); 0 when none.
    int32_t WallStartCutOut = 0;
    // Puts the saved start-square pixels back while a start is marked and
    // they are still held; forgets them either way.
    void putBackWallStart();
    void markWallStart();
    // The tracer's help on the document's wall map (snap, walk, offers),
    // switched by chkSnapToScan; without a map every key is as before.
    floorplan::TraceAssist& traceAssist();
    void buildTraceAssistSwitch(QWidget* editPanel);
    void syncTraceAssist();         // the document's map and the switch
    void showTraceOffer();          // the offered wall's outline on the canvas
    void dropTraceOffer();
    void snapWallStart();           // keypad 5: onto the nearest wall end
    void noteKeypadMove(floorplan::KeypadDirection dir);
    bool walkWallSelection();       // keypad *
    void noteWallConfirmed(std::optional<floorplan::WallConfirm> kind);
    void traceOfferedWall();        // keypad Enter
    void cycleTraceOffer();         // keypad .
    // Bands across the map's openings that a click fill must not cross.
    std::vector<QPolygonF> roomFillBarriers();
    void showNumLockHint();
    bool NumLockHintShown = false;
    QCheckBox* chkSnapToScan = nullptr; // 下絵に吸着

    // ---- Text -------------------------------------------------------------
    void btnMojiIn_Click();
    void SetTextAttributes();
    void PasteTextIntoSelection();

    // ---- Processing ---------------------------------------------------------
    // Tone, underlay and effect commands on the canvas (whole image, or the
    // selection where the command allows one).
    void btnRGB_Click();
    void btnContlast_Click();
    void btnBrighten_Click();
    void btnGomiFix_Click();
    // mark: push every pure-grey pixel off grey; otherwise whiten every pixel
    // that is not pure grey. Covers the selection, or the whole image.
    void ProcessUnderlayPixels(bool mark);
    // One pass over the canvas image's own pixels, uncommitted drawing
    // dropped first: with greenCurve, every pixel's green through it and then
    // the pure greys of the selection (or image) marked; without, the
    // selection's (or image's) pixels that are not pure grey made white. The
    // view is rebuilt once afterwards. False when the canvas is no RGB32
    // image or its pixels cannot be had. asUndoStep: the pass is an undo step
    // of its own, writing a new image and keeping the canvas's as the undo
    // snapshot (no copy); otherwise the caller took the snapshot.
    bool underlayPass(const uchar* greenCurve, bool asUndoStep = false);
    void btnSharpen_Click();
    void btnDenoise_Click();
    void btnMosaic_Click();
    void btnBlur_Click();
    void btnGreyscale_Click();
    void btnFineTurn_Click(int index);
    // Turns the canvas by angle (hundredths of a degree, counter-clockwise)
    // keeping its size: the fine turn and automatic straightening.
    void turnCanvasKeepingSize(int32_t angle);
    // Measures the skew of the plan's long lines and turns it straight.
    void mnuEditDeskew_Click();
    void btnWhiten_Click();
    // Rotation and mirroring of the preview (no undo) and of the canvas.
    void btnRotate_Click();
    void btnFlip_Click(int index);
    void btnRoteteAndTurn_Click(int index);
    // kind 0 turn, 1 left-right, 2 top-bottom; keepForUndo: the step began
    // with startReplacingUndoStep.
    void TurnCanvas(int32_t angle, int kind, bool keepForUndo = false);
    void MirrorPreview(int kind);             // kind 1 left-right, 2 top-bottom
    // Sizes: margin, resize, cut-out; clipboard to and from the preview.
    void btnYohaku_Click();
    void btnResize_Click();
    void btnCut_Click();
    void btnClip2Disp2_Click();
    void CopyPreviewToClipboard();
    // The canvas effect sequence: snapshot, region polygon from the
    // selection, op on fxCanvas, and on success the result replaces the
    // canvas image. areaFromSelection: AreaMode 2 when a selection exists;
    // progressWindow: show ProgressWindow meanwhile. inPlace: a tone
    // operation changes the canvas image itself once the snapshot holds the
    // old pixels (no second image). Returns OpResult != 0.
    bool runCanvasEffect(bool areaFromSelection, bool progressWindow, bool reportProgress,
                         int32_t (*op)(MainWindow&), bool inPlace = false);
    // Shows fxCanvas's result on the canvas and releases the image it replaces.
    void adoptEffectResultOnCanvas(bool refresh);
    // The same for the preview display.
    void adoptEffectResultOnPreview();
    void adoptEffectResult(gf5::Gf5Disp& display, bool refresh);
    void connectProcessingHandlers();

    // ---- Documents: parts library, scanning, printing, help ------------------
    // Library tab click: tab 1 "建具", 2 "文字" (tabLibrary's index + 1).
    void tabLibrary_Click(int tab);
    void thmParts_ThumbnailClicked();
    void btnBuhinRead_Click();
    void dspCanvas_FileDropped(const QString& path);
    // The preview display dragged onto the canvas.
    void dspCanvas_DisplayDropped();
    // True when path lies in the parts library below the program folder or
    // in the user's own parts folder.
    bool IsLibraryPath(const QString& path) const;
    // Releases the preview's image, if any, and leaves the preview empty.
    void releasePreviewImage();
    // The resolution the part in the preview states (0: none, or no part);
    // a part is placed scaled by plan resolution / PreviewPartDpi.
    double PreviewPartDpi = 0;
    // Resamples the stored copy of the preview's part to the plan's scale.
    void bringPartToPlanScale(int32_t copy);
    void btnHelp_Click();
    static const char* helpWindowTitle() { return "Zorvatのヘルプ"; }

    void connectLibraryHandlers();
    // ---- Documents: scanning and printing -----------------------------------
    void btnScan_Click();
    void scanner_ImageAcquired(int32_t handle);
    // Deletes a file; a missing or locked file is ignored.
    static void DeleteTempFile(const QString& path);
    QString scanTempFile() const; // "tmp.jpg" in the run's private temporary folder
    bool ScanDone = false;        // set when the scanned image reached the temporary file
    void btnPrintOut_Click();
    void PrintImage(int32_t size); // size: edge in tenths of a millimetre
    // Prints the canvas image into a rectangle in tenths of a millimetre from
    // the printable area's corner.
    void PrintImageIn(const QRect& rect);

    void connectScanPrintHandlers();

    // ---- Imaging controls (hidden) -----------------------------------------
    gf5::Gf5Effect fxCanvas, fxUndo, fxPaste, fxWhiten;
    gf5::Gf5Common imgInfo;
    gf5::Gf5File fileIo;
    gf5::Gf5Print drawTools;
    gf5::Gf5Scan scanner;

    // ---- Visible controls ---------------------------------------------------
    gf5::Gf5Disp* dspCanvas = nullptr; // the canvas
    gf5::Gf5Disp* dspPreview = nullptr; // the parts / clipboard preview
    QWidget* picToolbar = nullptr;      // toolbar strip
    QLabel* lblAppName = nullptr;
    QPushButton *btnHelp = nullptr, *btnScan = nullptr, *btnPrintOut = nullptr,
                *btnSaveVertion = nullptr, *btnNewImage = nullptr, *btnOpen = nullptr,
                *btnQuit = nullptr;
    std::array<QPushButton*, 2> btnSave{};
    QFrame* frmCntrlMain = nullptr;
    std::array<QFrame*, 3> frmTab{};
    QTabBar* tabPanels = nullptr;
    QPushButton *btnColorDialog = nullptr, *btnFillMode = nullptr, *btnColorPic = nullptr,
                *btnClipPaste = nullptr, *btnClipCopy = nullptr, *btnUndo = nullptr,
                *btnClipSet = nullptr;
    QLabel* picHidden = nullptr; // hidden
    QGroupBox* frmDisplayScale = nullptr;
    std::array<QRadioButton*, 7> optDisplayScale{};
    QComboBox* cmbDispPer = nullptr;
    std::array<QLabel*, 3> lblRGB{};
    QLabel* lblCurrentColour = nullptr;
    QLabel* lblColor = nullptr;
    // "編集" panel
    QGroupBox* frmWallSize = nullptr;
    std::array<QRadioButton*, 10> optSize{}; // indexes 1..9
    std::array<QPushButton*, 15> btnArrow{};
    std::array<QPushButton*, 18> btnFill{};
    QComboBox* cmbGomiDot = nullptr;
    QCheckBox* chkGomitori = nullptr;
    QCheckBox *chkBack = nullptr, *chkBold = nullptr, *chkTate = nullptr;
    QComboBox* cmbWidth = nullptr;
    QPushButton* btnMojiIn = nullptr;
    QComboBox* txtmoji = nullptr;
    QComboBox* cmbPenStyle = nullptr;
    QGroupBox* frmLineColour = nullptr;
    std::array<QRadioButton*, 2> optColorPicMethod{};
    // "部品" panel
    QCheckBox *chkKakudai = nullptr, *chkToka = nullptr;
    std::array<QPushButton*, 3> btnFlip{}; // indexes 1, 2
    QPushButton *btnRotate = nullptr, *btnBuhinRead = nullptr, *btnClip2Disp2 = nullptr;
    QComboBox* cmbRotate_2 = nullptr;
    gf5::Gf5Thumb* thmParts = nullptr;
    QTabBar* tabLibrary = nullptr;
    // "イフェクト" panel
    QPushButton *btnDenoise = nullptr, *btnRGB = nullptr, *btnCut = nullptr, *btnGomiFix = nullptr;
    QGroupBox* frmResize = nullptr;
    std::array<QRadioButton*, 11> optResize{};
    QPushButton* btnResize = nullptr;
    QLabel* lblResizeUnit = nullptr;
    QGroupBox* frmMargin = nullptr;
    std::array<QRadioButton*, 3> optYohaku{}; // indexes 1, 2
    QComboBox* cmbYohaku = nullptr;
    QPushButton* btnYohaku = nullptr;
    QLabel* lblMarginUnit = nullptr;
    QPushButton *btnGreyscale = nullptr, *btnAntiAlias = nullptr, *btnBlur = nullptr,
                *btnMosaic = nullptr, *btnSharpen = nullptr, *btnContlast = nullptr,
                *btnBrighten = nullptr;
    std::array<QPushButton*, 3> btnFineTurn{}; // indexes 1, 2
    QCheckBox* chkBI = nullptr;
    QPushButton* btnDeskew = nullptr; // 傾き補正, as the edit menu's entry
    QPushButton* btnWhiten = nullptr; // 用紙を白く
    std::array<QPushButton*, 3> btnRoteteAndTurn{};
    QLineEdit* cmbRotate = nullptr;
    QSlider* sldRotateAngle = nullptr;
    // Edit menu
    QMenu* mnuEditDisp = nullptr;
    QAction *mnuEditNuri = nullptr, *mnuEditMojiPaste = nullptr, *mnuEditClipCopy = nullptr,
            *mnuEditClipInsert = nullptr, *mnuEditClipPaste = nullptr,
            *mnuEditClipPasteToka = nullptr, *mnuEditAnti = nullptr, *mnuEditSave = nullptr,
            *mnuEditUndo = nullptr;
    QAction* mnuEditDeskew = nullptr; // straightens a skewed scan
    ProgressWindow* progressWindow = nullptr;
    // The line under the canvas for short notices ("保存しました").
    StatusLine* lblStatus = nullptr;
    void showStatus(const QString& text);

    // ---- Window state --------------------------------------------------------
    int32_t PrintDpi = 0;
    std::array<int16_t, 10> WallSizeTable{}; // cells 1..9; 0 = empty
    int16_t SourceBitDepth = 0;
    int16_t ProgressSource = 0; // 0 file control, 1 effect control, 2 scanner
    int32_t OpResult = 0;
    int16_t SideChoice = 0;
    std::array<int32_t, 6> PolyX{}, PolyY{};
    int32_t SavedSelLeft = 0, SavedSelTop = 0, SavedSelRight = 0, SavedSelBottom = 0;
    std::array<int32_t, 12> TrackRect{};
    bool ColorPickMode = false;
    bool FillMode = false;
    bool PasteFloating = false;
    bool WallStartMarked = false;
    bool KeyPreview = true;
    QString FirstArg, LastArg;
    // Layout metrics recorded at load.
    int DesignWidth = 0, DesignHeight = 0, CanvasLeft = 0, CanvasTop = 0, PanelWidth = 0;

    // True while a long operation runs; input to this window is held back
    // then, so no second command starts inside the first.
    int busyDepth = 0;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildToolbar();
    void buildControlPanel();
    void buildEditPanel(QFrame* panel);
    void buildPartsPanel(QFrame* panel);
    void buildEffectsPanel(QFrame* panel);
    void buildEditMenu();
    void connectHandlers();
    void connectEditHandlers();
    void installKeyboardRouting();

    QStringList m_args;
    QString m_programDir;
    bool m_loaded = false;
    bool m_unloaded = false;
    Qt::KeyboardModifiers m_inputModifiers;
    std::unique_ptr<floorplan::TraceAssist> m_traceAssist;
};
