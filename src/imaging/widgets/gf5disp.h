#pragma once
// The display: shows one stored image, fitted or at a factor, with scroll
// bars when it is larger than the view; lets the user drag out, move and
// resize a selection rectangle; hands out a drawing surface (DrawingDC) in
// DisplayMode 3 whose drawing shows at once and becomes part of the image
// only on CommitDrawing.
//
// DisplayMode decides what the next Refresh shows:
//   0 before a change of scale; 1 the plain image, dropping uncommitted
//   drawing; 2 the image (with uncommitted drawing) and the selection;
//   3 the drawing state.
#include "../draw/surface.h"
#include <QAbstractScrollArea>
#include <QList>
#include <QMimeData>
#include <QImage>
#include <QPoint>
#include <QPolygonF>
#include <cstdint>

class QTimer;

namespace gf5 {

class Gf5Disp : public QAbstractScrollArea, public DrawingSurface {
    Q_OBJECT
public:
    explicit Gf5Disp(QWidget* parent = nullptr);
    ~Gf5Disp() override;

    int32_t ImageHandle() const { return m_handle; }
    void setImageHandle(int32_t handle);
    // While no image is set, shows reduced (a smaller copy of a picture of
    // fullSize) fitted to the view, where that picture will show once set.
    // Setting any image drops it.
    void setStandIn(const QImage& reduced, const QSize& fullSize);
    bool showsStandIn() const { return !m_standIn.isNull(); }

    int16_t DisplayMode() const { return m_mode; }
    void setDisplayMode(int16_t mode) { m_mode = mode; }

    int32_t SelectionLeft() const { return m_sel.left; }
    int32_t SelectionTop() const { return m_sel.top; }
    int32_t SelectionRight() const { return m_sel.right; }
    int32_t SelectionBottom() const { return m_sel.bottom; }
    void setSelectionLeft(int32_t v) { m_sel.left = v; }
    void setSelectionTop(int32_t v) { m_sel.top = v; }
    void setSelectionRight(int32_t v) { m_sel.right = v; }
    void setSelectionBottom(int32_t v) { m_sel.bottom = v; }

    // Valid only in DisplayMode 3 after Refresh; 0 otherwise.
    int32_t DrawingDC() const;

    int32_t ViewOriginX() const;
    int32_t ViewOriginY() const;

    bool SelectionDragEnabled() const { return m_dragEnabled; }
    void setSelectionDragEnabled(bool on) { m_dragEnabled = on; }

    int16_t ZoomMode() const { return m_zoomMode; }
    void setZoomMode(int16_t mode);
    double ZoomFactor() const { return m_zoomFactor; }
    // A factor that is not positive, or above kMaxZoomFactor, keeps the previous one.
    void setZoomFactor(double factor);
    static constexpr double kMaxZoomFactor = 64.0;
    // Screen pixels per image pixel as currently shown.
    double currentScale() const;

    void Refresh();
    // Scrolls by the least amount that brings the selection into view, or
    // as much of it as fits, then showing the edges named in `keep` (those
    // the user is moving); nothing while the image is fitted.
    void ScrollToSelection(Qt::Edges keep = {});
    void CommitDrawing();
    void UpdateLayout();
    void SetFocus();

    // A pale outline over the image (image pixel coordinates), shown until
    // it is cleared; it is never part of the image. An empty polygon clears it.
    void setGuide(const QPolygonF& imagePolygon);
    const QPolygonF& guide() const { return m_guide; }

    // The image the last CommitDrawing replaced, while the display still
    // keeps it for its next working copy: the display lets go of it, so the
    // caller can keep it (an undo step) without copying. Null otherwise.
    QImage takeReplacedImage();

    // The image `handle` holds the pixels shown now (a copy just taken, or
    // the shown image itself kept aside): the view worked out for them is
    // kept, and showing that image again while it is unchanged needs no new
    // view. Does nothing while drawing is uncommitted or the view is stale.
    void keepViewFor(int32_t handle);

    // True while uncommitted drawing exists.
    bool hasPendingDrawing() const { return !m_work.isNull(); }
    // The image as the user sees it (with uncommitted drawing), for tests.
    QImage shownImage() const;
    // Image point under a viewport point.
    QPoint viewToImage(const QPoint& viewPoint) const;
    QPoint imageToView(const QPoint& imagePoint) const;

    // A preview display: dragging on it starts a drag of the display itself
    // (mime type "application/x-zorvat-display") instead of a selection.
    void setDragSource(bool on) { m_dragSource = on; }
    bool dragSource() const { return m_dragSource; }
    static const char* displayMimeType() { return "application/x-zorvat-display"; }
    // What a drag of this display carries (new object, owned by the caller).
    QMimeData* dragMimeData() const;

    // DrawingSurface
    QImage* surfaceImage() override;
    void paintOn(const std::function<void(QPainter&)>& fn) override;
    void paintWithin(const QRect& bounds, const std::function<void(QPainter&)>& fn) override;
    void surfaceChanged(const QRect& rect) override;

signals:
    // button 1 left, 2 right; x, y in image pixels.
    void CanvasClick(int button, int x, int y);
    // After the user (never the program) moved or resized the selection.
    void SelectionChanged();
    // A file was dropped on the display.
    void FileDropped(const QString& path);
    // Another display was dragged onto this one.
    void DisplayDropped(QObject* source);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void dragEnterEvent(QDragEnterEvent*) override;
    void dragMoveEvent(QDragMoveEvent*) override;
    void dropEvent(QDropEvent*) override;

private:
    struct Sel {
        int32_t left = 0, top = 0, right = 0, bottom = 0;
        bool operator==(const Sel&) const = default;
        bool empty() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    };
    enum class DragKind { None, Pending, NewRect, Move, Resize, DragOut };
    enum Edge { EdgeLeft = 1, EdgeTop = 2, EdgeRight = 4, EdgeBottom = 8 };

    const QImage* baseImage() const;
    const QImage* visibleImage() const;
    void updateScrollBars();
    void invalidateCache();
    void ensureCache();
    void paintStandIn(QPainter& p, const QRect& exposed);
    // The kept view becomes the cache when it is of image; false otherwise.
    bool takeKeptView(const QImage& image);
    double fitScale() const;
    QPointF scrollOffset() const;

    // Working copy bookkeeping.
    QImage* ensureWork();
    void dropWork();
    void noteWorkChanged(const QRect& rect, bool cacheFollowed);
    bool cacheFollowsWork() const;

    // Selection and mouse helpers (view coordinates unless named otherwise).
    bool frameShown() const;
    QRect selectionViewRect() const;
    int edgesAt(const QPoint& viewPoint) const;
    QPoint viewToImageEdge(const QPointF& viewPoint) const;
    Sel draggedSelection(const QPoint& viewPoint) const;
    void updateHoverCursor(const QPoint& viewPoint);
    void startDisplayDrag();
    Gf5Disp* droppedDisplay(const QDropEvent* e) const;
    static QList<Gf5Disp*>& liveDisplays();
    // Lets go of the spent working copies of w x h kept by any display, so
    // that a new image of that size takes their memory.
    static void releaseSpares(int w, int h, QImage::Format format);
    void drawSelectionFrame(QPainter& p) const;
    void drawGuide(QPainter& p) const;
    // Dragging the selection near or past the view's edge scrolls the view.
    void updateAutoScroll(const QPoint& viewPoint);
    void autoScrollTick();
    void followDragTo(const QPoint& viewPoint);

    int32_t m_handle = 0;
    int16_t m_mode = 1;
    int16_t m_shownMode = 1;
    Sel m_sel;
    QPolygonF m_guide;
    bool m_dragEnabled = true;
    int16_t m_zoomMode = 0;
    double m_zoomFactor = 1.0;
    int32_t m_dc = 0;
    QImage m_work;          // uncommitted drawing (a working copy of the image)
    QImage m_cache;         // the image scaled for the view, when scaled down
    QImage m_standIn;       // shown while no image is set, see setStandIn
    QSize m_standInFull;
    QImage m_standInView; // m_standIn halved towards the view
    QSize m_standInViewFor;
    double m_cacheScale = 0;
    bool m_cacheValid = false;
    qint64 m_cacheKey = 0;      // cacheKey of the image the cache shows
    bool m_cacheOnWork = false; // the cache shows the working copy
    QRect m_cacheDirty;         // image pixels the cache has not caught up with
    QImage m_keptView;          // a view kept for the image of cacheKey m_keptKey
    double m_keptScale = 0;
    qint64 m_keptKey = 0;

    qint64 m_workBaseKey = 0;   // cacheKey of the stored image m_work was copied from
    QRect m_workDirty;          // where m_work differs from the stored image
    QImage m_spare;             // a spent working copy kept for reuse
    qint64 m_spareKey = 0;      // stored image m_spare equals outside m_spareDirty
    QRect m_spareDirty;
    bool m_spareReplaced = false; // m_spare is the image the last commit replaced
    bool m_dragSource = false;

    DragKind m_drag = DragKind::None;
    DragKind m_pendingKind = DragKind::None; // what a pending press becomes once it moves
    int m_resizeEdges = 0;
    Qt::MouseButton m_pressButton = Qt::NoButton;
    QPoint m_pressView;
    QPointF m_pressOffset;   // scroll position at the press
    QPoint m_dragView;       // last mouse position of a selection drag
    QTimer* m_autoScroll = nullptr;
    QPoint m_pressImage;
    Sel m_pressSel;
};

} // namespace gf5
