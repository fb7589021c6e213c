#pragma once
// Shared test start-up: headless platform, fixed locale, isolated settings,
// the program's image size limits. Use ZORVAT_TEST_MAIN(TestClass) instead of QTEST_MAIN.
#include <QApplication>
#include <QTest>

namespace testsupport {
void prepareEnvironment();
}

#define ZORVAT_TEST_MAIN(TestObject)                 \
    int main(int argc, char** argv)                  \
    {                                                \
        testsupport::prepareEnvironment();           \
        QApplication app(argc, argv);                \
        app.setAttribute(Qt::AA_Use96Dpi, true);     \
        TestObject tc;                               \
        QTEST_SET_MAIN_SOURCE_PATH                   \
        return QTest::qExec(&tc, argc, argv);        \
    }
