#include "version_text.h"

QString VersionText(int major, int minor, int patch, int tweak)
{
    return QString::asprintf("%d.%d.%d.%d", major, minor, patch, tweak);
}

QString ProgramVersionText()
{
    return VersionText(TWINVIEW_VERSION_MAJOR, TWINVIEW_VERSION_MINOR, TWINVIEW_VERSION_PATCH, TWINVIEW_VERSION_TWEAK);
}
