// A dialog whose controls move and stretch with its size by the rules of
// CResizeLayout, and which cannot be made smaller than its first size.
#pragma once

#include "resize_layout.h"

#include <QDialog>

#include <memory>
#include <vector>

class CResizingDialog : public QDialog {
    Q_OBJECT

public:
    explicit CResizingDialog(QWidget* parent = nullptr);

protected:
    // Registers a control at its present geometry.
    void AddControl(QWidget* control, unsigned flags, LayoutShare x = {}, LayoutShare y = {});
    // Takes the present client size as the first and smallest one; call
    // once the controls are placed, before registering them.
    void StartLayout();

    void resizeEvent(QResizeEvent* event) override;

private:
    std::unique_ptr<CResizeLayout> m_layout;
    std::vector<QWidget*> m_controls;
};
