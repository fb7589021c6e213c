#pragma once
// Shared test start-up: headless platform, fixed locale, isolated settings,
// the program's image size limits. Use ZORVAT_TEST_MAIN(TestClass) instead of QTEST_MAIN.
#include <QApplication>
#include <QTest>

namespace testsupport {
void prepareEnvironment();
// A message box that no test answers would wait for ever: one left open
// for a few seconds fails the running test, with its text, and is closed.
void closeUnansweredMessageBoxes();
}

#define ZORVAT_TEST_MAIN(TestObject)                 \
    int main(int argc, char** argv)                  \
    {                                                \
        testsupport::prepareEnvironment();           \
        QApplication app(argc, argv);                \
        app.setAttribute(Qt::AA_Use96Dpi, true);     \
        testsupport::closeUnansweredMessageBoxes();  \
        TestObject tc;                               \
        QTEST_SET_MAIN_SOURCE_PATH                   \
        return QTest::qExec(&tc, argc, argv);        \
    }
