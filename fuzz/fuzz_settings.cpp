// The settings reader: arbitrary text as the user's and the program
// folder's settings files, and the resolution taken from them.
#include "fuzzsupport.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const int dpi = settings::resolutionFromSetting(settings::readIniValue(text, "print", "dpi"));
    if (dpi == 0 || dpi > settings::kMostDpi)
        std::abort(); // an invalid value must have become the default
    const QString file = fuzzsupport::inputFile(data, size, "zorvat.ini");
    settings::resolutionFromSetting(settings::readFirstValue({file + ".missing", file}, "print", "dpi"));
    return 0;
}
