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
#include <QImage>
#include <QPoint>
#include <cstdint>

namespace gf5 {

class Gf5Disp : public QAbstractScrollArea, public DrawingSurface {
    Q_OBJECT
public:
    explicit Gf5Disp(QWidget* parent = nullptr);
    ~Gf5Disp() override;

    int32_t ImageHandle() const { return m_handle; }
    void setImageHandle(int32_t handle);

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
    // A factor that is not positive keeps the previous one.
    void setZoomFactor(double factor);
    // Screen pixels per image pixel as currently shown.
    double currentScale() const;

    void Refresh();
    void CommitDrawing();
    void UpdateLayout();
    void SetFocus();

    // True while uncommitted drawing exists.
    bool hasPendingDrawing() const { return !m_work.isNull(); }
    // The image as the user sees it (with uncommitted drawing), for tests.
    QImage shownImage() const;
    // Image point under a viewport point.
    QPoint viewToImage(const QPoint& viewPoint) const;
    QPoint imageToView(const QPoint& imagePoint) const;

    // DrawingSurface
    QImage* surfaceImage() override;
    void paintOn(const std::function<void(QPainter&)>& fn) override;
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
    struct Sel { int32_t left = 0, top = 0, right = 0, bottom = 0; };
    enum class DragKind { None, Pending, NewRect, Move, Resize, DragOut };

    const QImage* baseImage() const;
    const QImage* visibleImage() const;
    void updateScrollBars();
    void invalidateCache();
    void ensureCache();

    int32_t m_handle = 0;
    int16_t m_mode = 1;
    int16_t m_shownMode = 1;
    Sel m_sel;
    bool m_dragEnabled = true;
    int16_t m_zoomMode = 0;
    double m_zoomFactor = 1.0;
    int32_t m_dc = 0;
    QImage m_work;          // uncommitted drawing (a working copy of the image)
    QImage m_cache;         // the image scaled for the view, when scaled down
    double m_cacheScale = 0;
    bool m_cacheValid = false;

    DragKind m_drag = DragKind::None;
    int m_resizeEdges = 0;
    Qt::MouseButton m_pressButton = Qt::NoButton;
    QPoint m_pressView;
    QPoint m_pressImage;
    Sel m_pressSel;
};

} // namespace gf5
