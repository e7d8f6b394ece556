#include "settings_dlg.h"

#include "string_ids.h"
#include "text_table.h"
#include "user_interface.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

CSettingsDlg::CSettingsDlg(const TwinviewSettings& settings, const IStrings& strings, IUserInterface& ui,
                           QWidget* parent)
    : QDialog(parent), m_values(settings), m_strings(strings), m_ui(ui)
{
    setWindowTitle(m_strings.Get(ids::kSettingsCaption));
    BuildControls();
    m_imageSize->setValue(m_values.imageSize);
    m_changeColour->setChecked(m_values.changeColour);
    m_selectColour->setEnabled(m_values.changeColour);
}

void CSettingsDlg::BuildControls()
{
    auto* label = new QLabel(m_strings.Get(ids::kImageSizeLabel), this);
    m_imageSize = new QSpinBox(this);
    m_imageSize->setRange(TwinviewSettings::kMinImageSize, TwinviewSettings::kMaxImageSize);
    m_imageSize->setObjectName("control1018");
    label->setBuddy(m_imageSize);
    m_changeColour = new QCheckBox(m_strings.Get(ids::kChangeColourText), this);
    m_changeColour->setObjectName("control1032");
    m_selectColour = new QPushButton(m_strings.Get(ids::kSelectColourText), this);
    m_selectColour->setObjectName("control1033");
    m_selectColour->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(this);
    m_ok = buttons->addButton(m_strings.Get(ids::kOkText), QDialogButtonBox::AcceptRole);
    buttons->addButton(m_strings.Get(ids::kCancelText), QDialogButtonBox::RejectRole);
    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_imageSize, 0, 1);
    grid->addWidget(m_changeColour, 1, 0, 1, 2);
    grid->addWidget(m_selectColour, 2, 0);
    grid->addWidget(buttons, 3, 0, 1, 2);
    connect(m_changeColour, &QCheckBox::clicked, this, &CSettingsDlg::OnChangeColourClicked);
    connect(m_selectColour, &QPushButton::clicked, this, &CSettingsDlg::SelectColour);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSettingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSettingsDlg::reject);
}

void CSettingsDlg::OnChangeColourClicked()
{
    m_values.changeColour = m_changeColour->isChecked();
    m_selectColour->setEnabled(m_values.changeColour);
}

void CSettingsDlg::SelectColour()
{
    const std::optional<QColor> chosen =
        m_ui.ChooseColour(ColourFromRgbValue(m_values.colour), m_strings.Get(ids::kColourDialogTitle));
    if (chosen && chosen->isValid())
        m_values.colour = RgbValueFromColour(*chosen);
}

// A size typed outside 1..10000 is refused with a message; the dialog
// stays open on the size box.
void CSettingsDlg::accept()
{
    if (!m_imageSize->hasAcceptableInput()) {
        const QStringList range{QString::number(TwinviewSettings::kMinImageSize),
                                QString::number(TwinviewSettings::kMaxImageSize)};
        m_ui.ShowMessage({ids::kImageSizeRange, m_strings.Format(ids::kImageSizeRange, range)},
                         m_strings.Get(ids::kAppTitle));
        m_imageSize->setFocus();
        m_imageSize->selectAll();
        return;
    }
    m_values.imageSize = m_imageSize->value();
    m_values.changeColour = m_changeColour->isChecked();
    QDialog::accept();
}
