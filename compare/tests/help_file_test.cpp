// Where the program finds its user guide: beside itself (the build tree, a
// copied folder), else in the installation's documentation folder.
#include "help_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(HelpFile, BesideTheProgramFirstThenTheInstalledDocumentation)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    ASSERT_TRUE(QDir(prefix.path()).mkpath("bin"));
    const QString bin = prefix.filePath("bin");
    EXPECT_EQ(HelpFilePath(bin), QDir::cleanPath(prefix.filePath("share/doc/twinview/Twinview.pdf")));

    QFile beside(bin + "/Twinview.pdf");
    ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
    beside.close();
    EXPECT_EQ(HelpFilePath(bin), bin + "/Twinview.pdf");
}
