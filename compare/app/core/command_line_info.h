// Twinview's command line: up to two files to compare, and switches.
//
//   twinview [-compare] [-screenshot IMAGE] [FILE1 [FILE2]]
//
// Only "-" starts a switch: every absolute path begins with "/". The first
// plain argument is file 1; every later one replaces file 2. Unknown
// switches are ignored. Two switches of our own serve scripts and tests:
// "-compare" presses Compare once the window is shown, and "-screenshot
// IMAGE" compares, shows the differences, saves the window into IMAGE,
// prints the messages instead of showing them, and ends the program.
#pragma once

#include <QString>
#include <QStringList>

class CMyCommandLineInfo {
public:
    // Takes one argument; `isSwitch` with the leading "-" dropped.
    void ParseParam(const QString& text, bool isSwitch);
    // Parses the arguments that follow the program name.
    void ParseArguments(const QStringList& arguments);

    QString file1;
    QString file2;
    bool compareAtStart = false;
    QString screenshotPath;

private:
    bool m_firstPending = true;
    bool m_screenshotPending = false;
};
