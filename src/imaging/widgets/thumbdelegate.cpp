#include "thumbdelegate.h"
#include <QApplication>
#include <QPainter>
#include <QTextLayout>

namespace gf5 {

QStringList thumbNameLines(const QString& text, const QFont& font, int width, int maxLines)
{
    QStringList lines;
    if (text.isEmpty() || width <= 0 || maxLines <= 0)
        return lines;
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(width);
        if (lines.size() == maxLines - 1) {
            // The last line takes the rest, elided if it does not fit.
            const QString rest = text.mid(line.textStart());
            lines << QFontMetrics(font).elidedText(rest.trimmed(), Qt::ElideRight, width);
            break;
        }
        lines << text.mid(line.textStart(), line.textLength()).trimmed();
    }
    layout.endLayout();
    return lines;
}

QSize ThumbNameDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return m_cell.isEmpty() ? QStyledItemDelegate::sizeHint(option, index) : m_cell;
}

void ThumbNameDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (m_cell.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    opt.icon = QIcon();
    // The focus frame would mark where the style's own text would go.
    opt.state &= ~QStyle::State_HasFocus;
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    // Background, selection and focus as the style draws them.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    const QRect cell = option.rect;
    const QSize icon = opt.decorationSize;
    const QIcon picture = index.data(Qt::DecorationRole).value<QIcon>();
    const QRect iconRect(cell.left() + (cell.width() - icon.width()) / 2, cell.top() + 2, icon.width(), icon.height());
    picture.paint(painter, iconRect);

    const int lineHeight = QFontMetrics(opt.font).height();
    const int rows = std::max(0, (cell.bottom() - iconRect.bottom() - 2) / lineHeight);
    const QStringList lines = thumbNameLines(text, opt.font, cell.width() - 4, std::min(rows, 2));
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    int y = iconRect.bottom() + 2;
    for (const QString& line : lines) {
        painter->drawText(QRect(cell.left() + 2, y, cell.width() - 4, lineHeight), Qt::AlignHCenter | Qt::AlignTop, line);
        y += lineHeight;
    }
    painter->restore();
}

} // namespace gf5
