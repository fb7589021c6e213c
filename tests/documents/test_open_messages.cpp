// What the user is told when a picture is not opened: why, for a file that
// cannot be read (a named pipe among them); nothing after the user's own no
// to the question asked before a picture of over a gigabyte, which names the
// size and the memory and comes before anything is made.
#include "documents/large_picture.h"
#include "documents/open_failure.h"
#include "imaging/effects/effectcore.h"
#include "imaging/io/gf5file.h"
#include "imaging/store/imagestore.h"
#include "shell/messages.h"
#include "testsupport/testmain.h"
#include <QImageWriter>
#include <QTemporaryDir>
#include <sys/stat.h>

class TestOpenMessages : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QStringList shown_, asked_;
    bool answer_ = false;

private slots:
    void initTestCase()
    {
        messages::override = [this](const QString& text) { shown_ << text; };
        messages::askOverride = [this](const QString& text) {
            asked_ << text;
            return answer_;
        };
        documents::installLargePictureQuestion(nullptr);
        QImage blank(16000, 16000, QImage::Format_Mono);
        blank.fill(1);
        QVERIFY(QImageWriter(dir_.filePath("blank.png")).write(blank));
        QVERIFY(::mkfifo(QFile::encodeName(dir_.filePath("pipe.jpg")).constData(), 0600) == 0);
    }

    void cleanupTestCase()
    {
        gf5::Gf5File::largePictureQuestion = nullptr;
        messages::override = nullptr;
        messages::askOverride = nullptr;
    }

    void aHugePictureIsOpenedOnlyAfterYes()
    {
        gf5::Gf5File file;
        file.FileName = dir_.filePath("blank.png");
        file.FileOperation = gf5::Gf5File::Read;
        answer_ = false;
        gf5::fx::resetLargestAllocation();
        QCOMPARE(file.Execute(), 0);
        QCOMPARE(gf5::fx::largestAllocation(), 0);
        QCOMPARE(asked_.size(), 1);
        QVERIFY2(asked_[0].contains(QStringLiteral("blank.png")) && asked_[0].contains(QStringLiteral("16000 × 16000")) &&
                     asked_[0].contains(QStringLiteral("1.0 GB")),
                 qPrintable(asked_[0]));
        documents::reportOpenFailure(nullptr, file);
        QVERIFY(shown_.isEmpty()); // the user's own choice

        answer_ = true;
        QCOMPARE(file.Execute(), 1);
        QCOMPARE(gf5::ImageStore::image(file.ImageHandle)->size(), QSize(16000, 16000));
        gf5::ImageStore::release(file.ImageHandle);
    }

    void unreadableFilesAreExplained()
    {
        gf5::Gf5File file;
        file.FileName = dir_.filePath("pipe.jpg");
        file.FileOperation = gf5::Gf5File::Read;
        QCOMPARE(file.Execute(), 0);
        shown_.clear();
        documents::reportOpenFailure(nullptr, file);
        QCOMPARE(shown_.size(), 1);
        QVERIFY2(shown_[0].contains(QStringLiteral("「pipe.jpg」を開けませんでした")) &&
                     shown_[0].contains(QStringLiteral("通常のファイルではありません")),
                 qPrintable(shown_[0]));
    }
};

ZORVAT_TEST_MAIN(TestOpenMessages)
#include "test_open_messages.moc"
