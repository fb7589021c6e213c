#include "shell/caption_fit.h"
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace captions {

namespace {
constexpr double kSmallestPoints = 6.0;
constexpr int kButtonMargin = 6;  // the frame and padding of a push button
constexpr int kTitleMargin = 8;   // a group box title's indent and gap

int contentsWidth(const QAbstractButton& b, QStyle::SubElement element)
{
    QStyleOptionButton o;
    o.initFrom(&b);
    o.text = b.text();
    return b.style()->subElementRect(element, &o, &b).width();
}
}

int overflow(const QWidget& w)
{
    const QFontMetrics fm(w.font());
    int needs = 0, has = 0;
    if (auto* radio = qobject_cast<const QRadioButton*>(&w)) {
        needs = fm.horizontalAdvance(radio->text());
        has = contentsWidth(*radio, QStyle::SE_RadioButtonContents);
    } else if (auto* box = qobject_cast<const QCheckBox*>(&w)) {
        needs = fm.horizontalAdvance(box->text());
        has = contentsWidth(*box, QStyle::SE_CheckBoxContents);
    } else if (auto* button = qobject_cast<const QPushButton*>(&w)) {
        if (button->text().isEmpty())
            return 0;
        needs = fm.horizontalAdvance(button->text()) + kButtonMargin;
        has = button->width();
    } else if (auto* label = qobject_cast<const QLabel*>(&w)) {
        if (label->wordWrap() || label->text().isEmpty() || label->textFormat() == Qt::RichText)
            return 0;
        needs = fm.horizontalAdvance(label->text());
        has = label->contentsRect().width();
    } else if (auto* group = qobject_cast<const QGroupBox*>(&w)) {
        needs = fm.horizontalAdvance(group->title()) + kTitleMargin;
        has = group->width();
    }
    return std::max(0, needs - has);
}

void shrinkToFit(QWidget& root)
{
    for (QWidget* w : root.findChildren<QWidget*>()) {
        // A size from a style sheet is the control's own choice.
        if (!w->styleSheet().isEmpty())
            continue;
        w->ensurePolished();
        QFont font = w->font();
        while (overflow(*w) > 0 && font.pointSizeF() > kSmallestPoints) {
            font.setPointSizeF(std::max(kSmallestPoints, font.pointSizeF() * 0.92));
            w->setFont(font);
        }
    }
}

} // namespace captions
