#include "testmain.h"
#include <QImageReader>
#include <QLocale>
#include <QStandardPaths>
#include <cstdlib>

namespace testsupport {

void prepareEnvironment()
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QLocale::setDefault(QLocale::c());
    QStandardPaths::setTestModeEnabled(true);
    QImageReader::setAllocationLimit(0);
}

} // namespace testsupport
