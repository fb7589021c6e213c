#pragma once
// Helpers for the floor-plan window tests: selections, keypad presses sent
// as real key events, and pixel checks.
#include "shell/main_window.h"
#include "shell/side_choice_dialog.h"
#include "testsupport/formfixture.h"
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRect>
#include <QTest>

namespace plantest {

inline void select(MainWindow& f, int l, int t, int r, int b) { testsupport::setSelection(f, l, t, r, b); }

// As (left, top, right, bottom), stored in a QRect's corners verbatim.
inline QRect selection(const MainWindow& f) { return testsupport::selectionRect(f); }

// A key of the numeric keypad, as the platform delivers it with Num Lock on.
inline void pad(MainWindow& f, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(f.dspCanvas, key, mods | Qt::KeypadModifier);
}

inline void key(MainWindow& f, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QTest::keyClick(f.dspCanvas, key, mods);
}

// Marks a start square and puts the selection on the end square.
inline void trace(MainWindow& f, const QRect& start, const QRect& end)
{
    select(f, start.left(), start.top(), start.right(), start.bottom());
    pad(f, Qt::Key_5);
    select(f, end.left(), end.top(), end.right(), end.bottom());
}

// (left, top, right, bottom) with right and bottom the far edges.
inline QRect ltrb(int l, int t, int r, int b) { return QRect(QPoint(l, t), QPoint(r, b)); }

inline bool isBlack(const QImage& img, int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == 0; }
inline bool isWhite(const QImage& img, int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }

// Whether a black pixel lies within radius r (square) of (x, y).
inline bool blackNear(const QImage& img, int x, int y, int r = 2)
{
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (img.valid(x + dx, y + dy) && isBlack(img, x + dx, y + dy))
                return true;
    return false;
}

// Pixels covered by [l, r) x [t, b) painted in one colour.
inline void paintRect(QImage& img, int l, int t, int r, int b, QRgb c)
{
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            if (img.valid(x, y))
                img.setPixel(x, y, c);
}

// Answers the side-choice window with `answer`, recording its texts.
struct SideAnswer {
    QStringList texts;
    explicit SideAnswer(int answer)
    {
        SideChoiceDialog::answerOverride = [this, answer](SideChoiceDialog& w) {
            texts = {w.lblQuestion[1]->text(), w.lblQuestion[2]->text(), w.btnAnswer[1]->text(), w.btnAnswer[2]->text()};
            return answer;
        };
    }
    ~SideAnswer() { SideChoiceDialog::answerOverride = nullptr; }
};

} // namespace plantest
