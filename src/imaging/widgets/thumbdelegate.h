#pragma once
// Draws a compact thumbnail cell: the picture centred at the top and the
// name below it on up to two lines of the cell's whole width, broken between
// any two characters where there is no space (Japanese names have none),
// the second line elided when the name is longer still.
#include <QStyledItemDelegate>

namespace gf5 {

class ThumbNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    // Cells of this size; an empty size draws as the standard delegate does.
    void setCellSize(const QSize& size) { m_cell = size; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QSize m_cell;
};

// text laid out in lines at most width wide, broken at spaces where it can
// and between characters where it must; at most maxLines, the last one
// elided when text is longer.
QStringList thumbNameLines(const QString& text, const QFont& font, int width, int maxLines);

} // namespace gf5
