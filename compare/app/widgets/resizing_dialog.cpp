#include "resizing_dialog.h"

#include <QResizeEvent>

CResizingDialog::CResizingDialog(QWidget* parent) : QDialog(parent)
{
    setSizeGripEnabled(true);
}

void CResizingDialog::StartLayout()
{
    m_layout = std::make_unique<CResizeLayout>(width(), height());
    m_controls.clear();
    setMinimumSize(size());
}

void CResizingDialog::AddControl(QWidget* control, unsigned flags, LayoutShare x, LayoutShare y)
{
    const QRect g = control->geometry();
    m_layout->Add({g.left(), g.top(), g.left() + g.width(), g.top() + g.height()}, flags, x, y);
    m_controls.push_back(control);
}

void CResizingDialog::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_layout)
        return;
    const std::vector<IntRect>& rects = m_layout->Resize(event->size().width(), event->size().height());
    for (std::size_t i = 0; i < rects.size(); ++i) {
        const IntRect& r = rects[i];
        m_controls[i]->setGeometry(r.left, r.top, r.Width(), r.Height());
    }
}
