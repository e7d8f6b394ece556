#include "command_line_info.h"

void CMyCommandLineInfo::ParseParam(const QString& text, bool isSwitch)
{
    if (isSwitch) {
        // A switch cuts off a pending screenshot path: "-screenshot -x" has none.
        m_screenshotPending = text == "screenshot";
        if (text == "compare" || text == "screenshot")
            compareAtStart = true;
        return;
    }
    if (m_screenshotPending) {
        screenshotPath = text;
        m_screenshotPending = false;
    } else if (m_firstPending) {
        file1 = text;
        m_firstPending = false;
    } else {
        file2 = text;
    }
}

void CMyCommandLineInfo::ParseArguments(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument.startsWith('-'))
            ParseParam(argument.mid(1), true);
        else
            ParseParam(argument, false);
    }
}
