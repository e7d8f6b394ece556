#include "about_dlg.h"

#include "string_ids.h"
#include "text_table.h"
#include "version_text.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(const IStrings& strings, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(strings.Get(ids::kAboutCaption));
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(":/icons/twinview.png").pixmap(32, 32));
    auto* name = new QLabel(strings.Get(ids::kAboutVersion), this);
    auto* build = new QLabel(strings.Get(ids::kAboutBuild), this);
    m_build = new QLabel(ProgramVersionText(), this);
    m_build->setObjectName("control1034");
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(strings.Get(ids::kOkText), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1, 1, 2);
    grid->addWidget(build, 1, 1);
    grid->addWidget(m_build, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);
}
