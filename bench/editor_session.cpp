#include "editor_session.h"
#include "documents/wall_reader.h"
#include "imaging/io/gf5file.h"
#include "imaging/store/gf5common.h"
#include "imaging/store/imagestore.h"
#include "shell/messages.h"
#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <cstdio>

namespace bench::editor {

namespace {

// Counts the canvas's paint events.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

PaintCounter& counterOf(MainWindow& f)
{
    auto* counter = f.findChild<PaintCounter*>(QString(), Qt::FindDirectChildrenOnly);
    if (!counter) {
        counter = new PaintCounter;
        counter->setParent(&f);
        f.dspCanvas->viewport()->installEventFilter(counter);
    }
    return *counter;
}

const QElapsedTimer& clock()
{
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}

} // namespace

std::unique_ptr<MainWindow> openWindow()
{
    messages::override = [](const QString&) {};
    messages::askOverride = [](const QString&) { return false; };
    auto f = std::make_unique<MainWindow>(QStringList(), QStringLiteral(ZORVAT_PROGRAM_DIR));
    f->show();
    counterOf(*f);
    untilIdle(*f);
    return f;
}

MainWindow& window(const Context& c)
{
    static MainWindow* f = [&] {
        MainWindow* made = openWindow().release();
        atExit([made] { delete made; });
        if (!openFile(*made, c.planBmp))
            std::fprintf(stderr, "the editor could not open the plan\n");
        return made;
    }();
    return *f;
}

bool openFile(MainWindow& f, const QString& file)
{
    gf5::Gf5File::dialogOverride = [file](bool) { return file; };
    const bool clicked = clickButton(f, "Command1");
    gf5::Gf5File::dialogOverride = nullptr;
    untilIdle(f);
    untilWallsRead(f);
    gf5::Gf5Common info;
    info.ImageHandle = f.dspCanvas->ImageHandle();
    return clicked && info.IsValid() != 0 && f.document.path() == file;
}

void untilWallsRead(MainWindow& f)
{
    QElapsedTimer reading;
    reading.start();
    while (f.wallReader && f.wallReader->busy() && reading.elapsed() < 60000)
        QTest::qWait(20);
    untilIdle(f);
}

void untilIdle(MainWindow& f)
{
    PaintCounter& counter = counterOf(f);
    const int before = counter.paints;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    for (int i = 0; i < 1000; ++i) {
        QCoreApplication::sendPostedEvents();
        if (!dispatcher->processEvents(QEventLoop::AllEvents))
            break;
    }
    if (counter.paints == before)
        f.dspCanvas->viewport()->repaint();
}

void pressKeypad(MainWindow& f, Qt::Key key, Qt::KeyboardModifiers mods)
{
    QTest::keyClick(f.dspCanvas, key, mods | Qt::KeypadModifier);
}

void pressKey(MainWindow& f, Qt::Key key, Qt::KeyboardModifiers mods) { QTest::keyClick(f.dspCanvas, key, mods); }

bool clickButton(MainWindow& f, const char* objectName)
{
    auto* button = f.findChild<QPushButton*>(QString::fromLatin1(objectName));
    if (!button || !button->isEnabled())
        return false;
    button->click();
    return true;
}

bool showsPlan(const MainWindow& f, const Context& c)
{
    const QImage* img = gf5::ImageStore::image(f.dspCanvas->ImageHandle());
    return img && *img == c.planImage;
}

void select(MainWindow& f, int l, int t, int r, int b)
{
    f.dspCanvas->setSelectionLeft(l);
    f.dspCanvas->setSelectionTop(t);
    f.dspCanvas->setSelectionRight(r);
    f.dspCanvas->setSelectionBottom(b);
}

qint64 nowNs() { return clock().nsecsElapsed(); }

double msSince(qint64 startNs) { return (nowNs() - startNs) / 1e6; }

} // namespace bench::editor
