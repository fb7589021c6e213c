// Pure rules of the drawing tools and the colour class, without a window.
#include "canvas/ccolor.h"
#include "canvas/shape_rules.h"
#include "testsupport/testmain.h"

class TestRules : public QObject {
    Q_OBJECT
private slots:
    void penStyleFromTheStyleBox()
    {
        QCOMPARE(canvas::penStyleFromText("――"), int16_t(1));
        QCOMPARE(canvas::penStyleFromText("‐‐‐‐"), int16_t(2));
        QCOMPARE(canvas::penStyleFromText("……"), int16_t(3));
        // Anything typed that is not one of the three entries.
        QCOMPARE(canvas::penStyleFromText("―"), int16_t(0));
        QCOMPARE(canvas::penStyleFromText("dashed"), int16_t(0));
        QCOMPARE(canvas::penStyleFromText(""), int16_t(0));
        QCOMPARE(canvas::penStyleFromText("―― "), int16_t(0));
    }

    void lineWidthFromTheWidthBox()
    {
        QCOMPARE(canvas::lineWidthFromText("7"), 7);
        QCOMPARE(canvas::lineWidthFromText(" 2.5px"), 2); // halves to even
        QCOMPARE(canvas::lineWidthFromText("3.5"), 4);
        QCOMPARE(canvas::lineWidthFromText("wide"), 0);
    }

    void roundBoxCornerIsAQuarterOfTheWidth()
    {
        QCOMPARE(canvas::roundBoxCorner(50), 12); // 12.5 goes to the even 12
        QCOMPARE(canvas::roundBoxCorner(70), 18); // 17.5 goes to the even 18
        QCOMPARE(canvas::roundBoxCorner(41), 10);
        QCOMPARE(canvas::roundBoxCorner(43), 11);
        // The height never enters: the call on a tall box uses the width.
        const auto call = canvas::shapeForTool(12, 10, 10, 60, 210);
        QCOMPARE(call.kind, canvas::ShapeCall::RoundRect);
        QCOMPARE(call.a[4], 12);
        QCOMPARE(call.a[5], 12);
    }

    void wallPenWidthLaterOptionsWin()
    {
        QCOMPARE(canvas::wallPenWidth(false, false, false), 1);
        QCOMPARE(canvas::wallPenWidth(true, false, false), 4);
        QCOMPARE(canvas::wallPenWidth(false, true, false), 3);
        QCOMPARE(canvas::wallPenWidth(false, false, true), 2);
        QCOMPARE(canvas::wallPenWidth(true, true, false), 3);
        QCOMPARE(canvas::wallPenWidth(true, true, true), 2);
    }

    void arcsAreFittedToTheSelection()
    {
        // Quarter circle of radius 40 around the bottom-right corner.
        auto c = canvas::shapeForTool(7, 100, 50, 140, 90);
        QCOMPARE(c.kind, canvas::ShapeCall::Arc);
        QCOMPARE(c.a, (std::array<int32_t, 8>{100, 50, 180, 130, 140, 50, 100, 90}));
        c = canvas::shapeForTool(10, 100, 50, 140, 90);
        QCOMPARE(c.a, (std::array<int32_t, 8>{60, 10, 140, 90, 100, 90, 140, 50}));
        c = canvas::shapeForTool(16, 100, 50, 140, 90);
        QCOMPARE(c.a, (std::array<int32_t, 8>{60, 50, 140, 90, 100, 90, 100, 50}));
        c = canvas::shapeForTool(20, 100, 50, 140, 90, 1, 2, 3, 4);
        QCOMPARE(c.kind, canvas::ShapeCall::Line);
        QCOMPARE(c.a[0], 1);
        QCOMPARE(c.a[3], 4);
        for (int tool : {17, 18, 19, 21, -1})
            QCOMPARE(canvas::shapeForTool(tool, 100, 50, 140, 90).kind, canvas::ShapeCall::None);
    }

    void colourComponentsAndCustomColours()
    {
        cColor c;
        c.setColor(1 | (171 << 8) | (255 << 16));
        QCOMPARE(int(c.Red()), 1);
        QCOMPARE(int(c.Green()), 171);
        QCOMPARE(int(c.Blue()), 255);
        for (int i = 0; i < 16; ++i)
            QCOMPARE(c.CustomColor(i), 0xFFFFFF);
        QCOMPARE(c.CustomColor(16), 0);
        QCOMPARE(c.CustomColor(-1), 0);
        c.setCustomColor(-1, 0x123456);
        c.setCustomColor(16, 0x123456);
        c.setCustomColor(15, 0x123456);
        QCOMPARE(c.CustomColor(15), 0x123456);
        QCOMPARE(c.CustomColor(0), 0xFFFFFF);
    }

    void hexStrings()
    {
        cColor c;
        QCOMPARE(c.ToHexString(1 | (171 << 8) | (255 << 16)), QString("#01ABFF"));
        QCOMPARE(c.ToHexString(0), QString("#000000"));
        const int32_t orange = 255 | (128 << 8);
        QCOMPARE(c.FromHexString("#FF8000"), orange);
        QCOMPARE(c.FromHexString("FF8000"), orange);
        QCOMPARE(c.FromHexString("ff8000"), orange);
        QCOMPARE(c.FromHexString("#FF800"), 0);
        QCOMPARE(c.FromHexString("FF8000A"), 0);
        QCOMPARE(c.FromHexString(""), 0);
        // A pair that is not hexadecimal leaves only its component 0.
        QCOMPARE(c.FromHexString("#FFZZ10"), 255 | (0x10 << 16));
        QCOMPARE(c.FromHexString(c.ToHexString(0x3C2A19)), 0x3C2A19);
    }

    void negativeColoursNameSystemColours()
    {
        cColor c;
        // The index sits in the low byte (5: window background).
        const int32_t window = cColor::systemColour(5);
        QCOMPARE(c.ToHexString(int32_t(0x80000005)), c.ToHexString(window));
        QCOMPARE(c.ToHexString(int32_t(0x80000008)), c.ToHexString(cColor::systemColour(8)));
        QVERIFY(cColor::systemColour(5) != cColor::systemColour(8)); // window differs from its text
        QCOMPARE(cColor::systemColour(200), 0);
    }
};

ZORVAT_TEST_MAIN(TestRules)
#include "test_rules.moc"
