// Rules of the shell that need no window: number reading, field splitting,
// settings values, display factors, key translation.
#include "testsupport/testmain.h"
#include "shell/keys.h"
#include "shell/numbers.h"
#include "shell/scale.h"
#include "shell/settings.h"
#include "shell/splitfield.h"
#include "documents/document_rules.h"

class RulesTest : public QObject {
    Q_OBJECT
private slots:
    void readsLeadingNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("plain") << "300" << 300.0;
        QTest::newRow("leading blanks") << "  900" << 900.0;
        QTest::newRow("trailing text") << "300dpi" << 300.0;
        QTest::newRow("fraction") << "45.6" << 45.6;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("dot only") << "." << 0.0;
        QTest::newRow("stops at second dot") << "1.5.2" << 1.5;
        QTest::newRow("exponent without digits") << "2e" << 2.0;
    }
    void readsLeadingNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, value);
        QCOMPARE(numbers::leadingNumber(text), value);
    }

    void roundsHalvesToEven()
    {
        QCOMPARE(numbers::roundHalfEven(3.5), 4);
        QCOMPARE(numbers::roundHalfEven(2.5), 2);
        QCOMPARE(numbers::roundHalfEven(-2.5), -2);
        QCOMPARE(numbers::roundHalfEven(12.5), 12);
        QCOMPARE(numbers::roundHalfEven(17.5), 18);
        QCOMPARE(numbers::readWholeNumber("44.5"), 44);
        QCOMPARE(numbers::readWholeNumber("45.6"), 46);
        QVERIFY(!numbers::readWholeNumberChecked("99999999999").has_value());
        QCOMPARE(numbers::readWholeNumberChecked("-21474836").value(), -21474836);
    }

    void splitsFields()
    {
        QCOMPARE(SplitField("a.bmp/c:\\out.jpg", "/", 0), QString("a.bmp"));
        QCOMPARE(SplitField("a.bmp/c:\\out.jpg", "/", 99), QString("c:\\out.jpg"));
        QCOMPARE(SplitField("/b.jpg", "/", 0), QString());
        QCOMPARE(SplitField("/b.jpg", "/", 99), QString("b.jpg"));
        QCOMPARE(SplitField("a.bmp /x.txt", "/", 0), QString("a.bmp "));
        QCOMPARE(SplitField("one", "/", 99), QString("one"));
        QCOMPARE(SplitField("a/b/c", "/", 2), QString("b"));
        QCOMPARE(SplitField("a/b/c", "/", 4), QString());
        int count = -1;
        SplitField("a/b/c", "/", 1, count);
        QCOMPARE(count, 3);
        int kept = 7;
        SplitField("a/b/c", "/", 1, kept);
        QCOMPARE(kept, 7);
    }

    void readsSettingValues()
    {
        const QString ini = "[other]\ndpi=999\n\n[Print]\r\n dpi = 300dpi \r\n";
        QCOMPARE(settings::readIniValue(ini, "print", "dpi"), QString("300dpi"));
        QCOMPARE(settings::resolutionFromSetting("300dpi"), 300);
        QCOMPARE(settings::resolutionFromSetting("300"), 300);
        QCOMPARE(settings::resolutionFromSetting("0"), 200);
        QCOMPARE(settings::resolutionFromSetting(""), 200);
        QCOMPARE(settings::resolutionFromSetting("high"), 200);
        QCOMPARE(settings::resolutionFromSetting("-50"), -50);
        // Absurd resolutions count as invalid rather than wrapping in files.
        QCOMPARE(settings::resolutionFromSetting("100000"), 100000);
        QCOMPARE(settings::resolutionFromSetting("100001"), 200);
        QCOMPARE(settings::resolutionFromSetting("54545455"), 200);
        QCOMPARE(settings::readIniValue("[print]\nres=1\n", "print", "dpi"), QString());
        // The reading buffer keeps 254 characters: a value whose digits run
        // past that point is cut there.
        const QString longValue = QString(250, '0') + "12345";
        QCOMPARE(settings::readIniValue("[print]\ndpi=" + longValue, "print", "dpi").size(), 254);
        QCOMPARE(settings::resolutionFromSetting(settings::readIniValue("[print]\ndpi=" + longValue, "print", "dpi")), 1234);
    }

    void buildsTitles()
    {
        QCOMPARE(documents::titleText("新規イメージ", 600, 600, 24),
                 QString("新規イメージ  W 600 H 600   24BitColor"));
        QCOMPARE(documents::titleText("/p/plan.bmp", 1200, 80, 24),
                 QString("/p/plan.bmp  W 1200 H 80   24BitColor"));
        // Place markers in a name are text like any other.
        for (const QString name : {"x%1.bmp", "/%2%3/%4.jpg", "%5%6%7%8%9", "100%%.bmp", "%", "%L1%0%10"})
            QCOMPARE(documents::titleText(name, 80, 24, 8), name + "  W 80 H 24   8BitColor");
    }

    void choosesTheSaveFormatByName()
    {
        using gf5::io::FileType;
        QCOMPARE(documents::SaveTypeForName("/p/plan.jpg"), FileType::Jpeg);
        QCOMPARE(documents::SaveTypeForName("/p/plan.JPEG"), FileType::Jpeg);
        QCOMPARE(documents::SaveTypeForName("/p/plan.png"), FileType::Png);
        QCOMPARE(documents::SaveTypeForName("/p/plan.PNG"), FileType::Png);
        QCOMPARE(documents::SaveTypeForName("/p/plan.Pdf"), FileType::Pdf);
        QCOMPARE(documents::SaveTypeForName("/p/plan.bmp"), FileType::Bmp);
        QCOMPARE(documents::SaveTypeForName("/p/plan.gif"), FileType::Bmp);
        QCOMPARE(documents::SaveTypeForName("/p/planpng"), FileType::Bmp);
        QCOMPARE(documents::SaveTypeForName("/p/plan.png.tif"), FileType::Bmp);
        QCOMPARE(documents::SaveTypeForName(""), FileType::Bmp);
    }

    void recognisesJpegNames()
    {
        QVERIFY(documents::IsJpegName("/p/plan.jpg"));
        QVERIFY(documents::IsJpegName("/p/PLAN.JPEG"));
        QVERIFY(documents::IsJpegName("peg"));
        QVERIFY(!documents::IsJpegName("pg"));
        QVERIFY(!documents::IsJpegName("/p/plan.bmp"));
        QVERIFY(!documents::IsJpegName("/p/plan.jpg.png"));
        QVERIFY(documents::IsBmpName("x.BMP"));
        QVERIFY(!documents::IsBmpName("x.gif"));
    }

    void computesDisplayFactors()
    {
        QCOMPARE(scale::factorFromPercent("80"), 0.8);
        QCOMPARE(scale::factorFromPercent("120"), 1.2);
        QCOMPARE(scale::factorFromPercent("300"), 3.0);
        QCOMPARE(scale::factorFromPercent("155"), 1.5);
        QCOMPARE(scale::factorFromPercent("25"), 0.2);
        QCOMPARE(scale::factorFromPercent("99"), 0.9);
        QCOMPARE(scale::factorFromPercent("5"), 0.0);
    }

    void translatesKeys()
    {
        using namespace keys;
        QCOMPARE(virtualKey(Qt::Key_8, Qt::KeypadModifier), 104);
        QCOMPARE(virtualKey(Qt::Key_8, Qt::NoModifier), 56);
        QCOMPARE(virtualKey(Qt::Key_5, Qt::KeypadModifier), 101);
        QCOMPARE(virtualKey(Qt::Key_Plus, Qt::KeypadModifier), 107);
        QCOMPARE(virtualKey(Qt::Key_Minus, Qt::KeypadModifier), 109);
        QCOMPARE(virtualKey(Qt::Key_Slash, Qt::KeypadModifier), 111);
        QCOMPARE(virtualKey(Qt::Key_Plus, Qt::NoModifier), 0);
        QCOMPARE(virtualKey(Qt::Key_D, Qt::ShiftModifier), 68);
        QCOMPARE(virtualKey(Qt::Key_Insert, Qt::NoModifier), 45);
        QCOMPARE(virtualKey(Qt::Key_PageDown, Qt::NoModifier), 34);
        // Num Lock off: the keypad's navigation keys are no commands, the
        // real ones are.
        QCOMPARE(virtualKey(Qt::Key_Up, Qt::KeypadModifier), 0);
        QCOMPARE(virtualKey(Qt::Key_Home, Qt::KeypadModifier), 0);
        QCOMPARE(virtualKey(Qt::Key_Home, Qt::NoModifier), 36);
        // The keypad's Enter is a key of its own; the main Enter is not it.
        QCOMPARE(virtualKey(Qt::Key_Enter, Qt::KeypadModifier), int(VK_KEYPAD_ENTER));
        QCOMPARE(virtualKey(Qt::Key_Return, Qt::NoModifier), 13);
        QCOMPARE(virtualKey(Qt::Key_Enter, Qt::NoModifier), 13);
        QVERIFY(isKeypadWithNumLockOff(Qt::Key_Up, Qt::KeypadModifier));
        QVERIFY(isKeypadWithNumLockOff(Qt::Key_Clear, Qt::NoModifier));
        QVERIFY(!isKeypadWithNumLockOff(Qt::Key_Up, Qt::NoModifier));
        QVERIFY(!isKeypadWithNumLockOff(Qt::Key_8, Qt::KeypadModifier));
        QCOMPARE(shiftMask(Qt::ControlModifier | Qt::KeypadModifier), 2);
        QCOMPARE(shiftMask(Qt::AltModifier), 4);
        QCOMPARE(shiftMask(Qt::ControlModifier | Qt::ShiftModifier), 3);
    }
};

ZORVAT_TEST_MAIN(RulesTest)
#include "test_rules.moc"
