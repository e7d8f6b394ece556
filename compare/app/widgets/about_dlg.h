// The About box: the program icon, its name and the version it was built as.
#pragma once

#include <QDialog>

class IStrings;
class QLabel;

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    CAboutDlg(const IStrings& strings, QWidget* parent = nullptr);
    QLabel* BuildLabel() const { return m_build; }

private:
    QLabel* m_build = nullptr;
};
