// The version shown in the About box.
#pragma once

#include <QString>

// "major.minor.patch.tweak".
QString VersionText(int major, int minor, int patch, int tweak);

// The version this program was built as.
QString ProgramVersionText();
