// Every control of the main window and of its dialogs keeps its objectName
// and its Qt class: accessibility, scripting and the tests find controls by it.
// The expected list lives in tests/shell/data/object_names.txt; on a mismatch
// the list found is saved beside the test output for comparison.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include "documents/print_size_dialog.h"
#include "shell/progress_window.h"
#include "shell/side_choice_dialog.h"
#include <QAction>
#include <QDir>
#include <QFile>
#include <QWidget>

using namespace testsupport;

namespace {

// "scope class objectName" for the root and every named descendant, sorted.
// Qt's own internal children (qt_ names) are left out.
QStringList namesUnder(const QString& scope, const QObject& root)
{
    QStringList lines;
    QList<const QObject*> objects{&root};
    for (const QObject* o : root.findChildren<QObject*>())
        objects << o;
    for (const QObject* o : objects) {
        const QString name = o->objectName();
        if (name.isEmpty() || name.startsWith("qt_"))
            continue;
        if (!qobject_cast<const QWidget*>(o) && !qobject_cast<const QAction*>(o))
            continue;
        // The nearest Qt class: the program's own classes may be renamed.
        const QMetaObject* meta = o->metaObject();
        while (meta->superClass() && !QByteArray(meta->className()).startsWith('Q'))
            meta = meta->superClass();
        lines << QString("%1 %2 %3").arg(scope, meta->className(), name);
    }
    lines.sort();
    return lines;
}

} // namespace

class ObjectNamesTest : public QObject {
    Q_OBJECT
private slots:
    void everyControlKeepsItsName()
    {
        ProgramDir dir;
        MainWindow f({}, dir.path());
        f.ShowProgress();
        QVERIFY(f.progressWindow);
        int16_t side = 0;
        SideChoiceDialog sides(&f, side);
        PrintSizeDialog printSize(&f);

        QStringList actual = namesUnder("main", f);
        actual << namesUnder("progress", *f.progressWindow) << namesUnder("side", sides)
               << namesUnder("printsize", printSize);
        f.CloseProgress();

        QFile expectedFile(QString(ZORVAT_SOURCE_DIR) + "/tests/shell/data/object_names.txt");
        QVERIFY(expectedFile.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList expected =
            QString::fromUtf8(expectedFile.readAll()).split('\n', Qt::SkipEmptyParts);
        if (actual != expected) {
            const QString out = qEnvironmentVariable("ZORVAT_TEST_OUTPUT", QDir::tempPath());
            QDir().mkpath(out);
            QFile save(out + "/object_names.actual.txt");
            if (save.open(QIODevice::WriteOnly | QIODevice::Text))
                save.write((actual.join('\n') + '\n').toUtf8());
            for (const QString& line : expected)
                if (!actual.contains(line))
                    qWarning("missing: %s", qPrintable(line));
            for (const QString& line : actual)
                if (!expected.contains(line))
                    qWarning("unexpected: %s", qPrintable(line));
        }
        QCOMPARE(actual.size(), expected.size());
        QCOMPARE(actual, expected);
    }
};

ZORVAT_TEST_MAIN(ObjectNamesTest)
#include "test_object_names.moc"
