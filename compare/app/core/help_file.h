// Where the user guide is: Twinview.pdf beside the program (the build tree,
// a copied program folder), otherwise where installation puts it.
#pragma once

#include <QString>

// The guide for a program in `programDir`: beside it when that file exists,
// else the installed guide relative to it (which may not exist either; the
// caller reports that when it opens the file).
QString HelpFilePath(const QString& programDir);
