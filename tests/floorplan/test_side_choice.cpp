// The side-choice window opened by D and H, answered with real key events:
// the keypad picks a side, Escape cancels, Enter picks nothing.
#include "plan_keys.h"
#include "testsupport/testmain.h"
#include <QApplication>
#include <QPushButton>
#include <QTimer>

using namespace plantest;

namespace {
struct KeyPress {
    int key;
    Qt::KeyboardModifiers mods;
};

// Sends the keys to the side-choice window once it is open (to its focused
// button, as a user's keys arrive) and records whether it was still open
// before each key. A window that stays open is closed after the keys, so a
// failing run cannot hang.
struct DialogKeys {
    QList<KeyPress> keys;
    QList<bool> openBefore;
    QStringList answers;
    bool focusedButton = true;

    void arm()
    {
        QTimer::singleShot(0, [this] {
            auto* dialog = qobject_cast<SideChoiceDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            answers = {dialog->btnAnswer[1]->text(), dialog->btnAnswer[2]->text()};
            focusedButton = qobject_cast<QPushButton*>(dialog->focusWidget()) != nullptr;
            for (const KeyPress& k : keys) {
                openBefore << dialog->isVisible();
                if (!dialog->isVisible())
                    break;
                QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
                QTest::keyClick(target, Qt::Key(k.key), k.mods);
            }
            if (dialog->isVisible())
                dialog->done(QDialog::Rejected);
        });
    }
};
} // namespace

class SideChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void keypadAnswers_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<int>("expected");
        QTest::newRow("8 above") << true << int(Qt::Key_8) << true << 1;
        QTest::newRow("2 below") << true << int(Qt::Key_2) << true << 2;
        QTest::newRow("4 left") << false << int(Qt::Key_4) << true << 1;
        QTest::newRow("6 right") << false << int(Qt::Key_6) << true << 2;
        // Num Lock off: the keypad sends arrows and Clear, which answer
        // nothing, as in the main window; nor does Space, no button having
        // the focus.
        QTest::newRow("num lock off, 2") << true << int(Qt::Key_Down) << true << 0;
        QTest::newRow("num lock off, 4") << false << int(Qt::Key_Left) << true << 0;
        QTest::newRow("num lock off, 5") << true << int(Qt::Key_Clear) << false << 0;
        QTest::newRow("space") << true << int(Qt::Key_Space) << false << 0;
        // A key that names a side the question does not offer picks nothing.
        QTest::newRow("4 on a horizontal wall") << true << int(Qt::Key_4) << true << 0;
        QTest::newRow("main-keyboard 8") << true << int(Qt::Key_8) << false << 0;
        QTest::newRow("escape") << true << int(Qt::Key_Escape) << false << 0;
    }
    void keypadAnswers()
    {
        QFETCH(bool, horizontal);
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(int, expected);
        testsupport::ProgramDir dir;
        MainWindow f({}, dir.path());
        f.show();
        const QRect from = ltrb(100, 100, 120, 120);
        const QRect to = horizontal ? ltrb(160, 100, 180, 120) : ltrb(100, 160, 120, 180);
        trace(f, from, to);
        DialogKeys keys;
        keys.keys = {{key, keypad ? Qt::KeypadModifier : Qt::NoModifier}};
        keys.arm();
        f.SideChoice = -1;
        plantest::key(f, Qt::Key_D);
        QCOMPARE(keys.answers, horizontal ? (QStringList{"上側", "下側"}) : (QStringList{"左側", "右側"}));
        QCOMPARE(int(f.SideChoice), expected);
        QVERIFY(!keys.focusedButton);
        QVERIFY(!f.WallStartMarked);
    }

    // Enter used to close the window with キャンセル and lose the traced
    // stretch; now it does nothing and the keypad still answers after it.
    void enterPicksNothing()
    {
        testsupport::ProgramDir dir;
        MainWindow f({}, dir.path());
        f.show();
        trace(f, ltrb(100, 100, 120, 120), ltrb(160, 100, 180, 120));
        DialogKeys keys;
        keys.keys = {{Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier},
                     {Qt::Key_2, Qt::KeypadModifier}};
        keys.arm();
        plantest::key(f, Qt::Key_H);
        QCOMPARE(keys.openBefore, (QList<bool>{true, true, true}));
        QCOMPARE(int(f.SideChoice), 2);
        // The sliding door was drawn: black pixels below the traced wall.
        const QImage img = testsupport::canvasImage(f);
        bool drawn = false;
        for (int y = 100; y < 200 && !drawn; ++y)
            for (int x = 100; x < 180 && !drawn; ++x)
                drawn = isBlack(img, x, y);
        QVERIFY(drawn);
    }
};

ZORVAT_TEST_MAIN(SideChoiceTest)
#include "test_side_choice.moc"
