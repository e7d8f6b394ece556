// The Settings dialog: image size (1..10000), whether drawings are rendered
// on a background colour of the user's choice, and that colour.
#pragma once

#include "settings.h"

#include <QDialog>

class IStrings;
class IUserInterface;
class QCheckBox;
class QPushButton;
class QSpinBox;

class CSettingsDlg : public QDialog {
    Q_OBJECT

public:
    CSettingsDlg(const TwinviewSettings& settings, const IStrings& strings, IUserInterface& ui,
                 QWidget* parent = nullptr);

    // The values as they stand (taken over by the caller on OK).
    const TwinviewSettings& Values() const { return m_values; }

    QSpinBox* ImageSizeBox() const { return m_imageSize; }
    QCheckBox* ChangeColourBox() const { return m_changeColour; }
    QPushButton* SelectColourButton() const { return m_selectColour; }
    QPushButton* OkButton() const { return m_ok; }

public slots:
    void accept() override;
    void SelectColour();

private:
    void BuildControls();
    void OnChangeColourClicked();

    TwinviewSettings m_values;
    const IStrings& m_strings;
    IUserInterface& m_ui;
    QSpinBox* m_imageSize = nullptr;
    QCheckBox* m_changeColour = nullptr;
    QPushButton* m_selectColour = nullptr;
    QPushButton* m_ok = nullptr;
};
