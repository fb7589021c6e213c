// The title line shows the document's name exactly, whatever it contains.
#include "testsupport/testmain.h"
#include "testsupport/formfixture.h"
#include <QDir>

using namespace testsupport;

class TitleTest : public QObject {
    Q_OBJECT
private slots:
    void namesWithPlaceMarkersAreShownAsTheyAre()
    {
        ProgramDir dir;
        const QString folder = dir.file("%1 %%2 %9%%");
        QVERIFY(QDir().mkpath(folder));
        const QStringList names = {"x%1.bmp", "%2%3%4.bmp", "%5%6%7%8%9.bmp", "%%.bmp", "100%.bmp"};
        for (const QString& name : names) {
            const QString path = writePlan(folder + "/" + name, 80, 24, "BMP");
            MainWindow f({path}, dir.path());
            QCOMPARE(f.windowTitle(), path + "  W 80 H 24   24BitColor");
        }
        // A name given at save time too.
        MainWindow f({}, dir.path());
        const QString saved = folder + "/%1%2%3%4.bmp";
        FileDialogs dialogs;
        dialogs.answer = saved;
        f.btnSave_Click(1);
        QCOMPARE(f.windowTitle(), saved + "  W 600 H 600   24BitColor");
    }
};

ZORVAT_TEST_MAIN(TitleTest)
#include "test_title.moc"
