#include "DAutils.h"

#include "fDAWait.h"
#include "ui/Application.h"
#include "ui/Cursor.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

using namespace platform;

QPointer<QWidget> PrevActiveForm;

namespace {

void setShown(QWidget *widget, bool shown)
{
    if (widget->isHidden() == shown)
        widget->setVisible(shown);
}

void updateWait(const QString &line1, const QString &line2, std::uint8_t percent, bool showCancel, bool showAnimation)
{
    setShown(frmDAWait->btnStorno, showCancel);
    setShown(frmDAWait->aniStav, showAnimation);

    QWidget *active = QApplication::activeWindow();
    if (active != frmDAWait) {
        PrevActiveForm = active;
        if (active && active->isVisible())
            active->setEnabled(false);
    }

    frmDAWait->labStav1->setText(line1);
    frmDAWait->labStav2->setText(line2);

    QProgressBar *bar = frmDAWait->pbWait;
    if (bar->value() == 0)
        processMessages();
    if (percent > 0) {
        // Messages only now and then: frequent progress calls must stay cheap.
        bar->setValue(qMin(percent * bar->maximum() / 100, bar->maximum()));
        if (bar->value() % 30 == 0) {
            setAppCursor(AppCursor::HourGlass);
            processMessages();
        }
        setShown(bar, true);
    } else {
        setShown(bar, false);
        processMessages();
    }

    setAppCursor(AppCursor::HourGlass);
    if (!frmDAWait->isVisible())
        frmDAWait->show();
}

void giveBackPreviousWindow()
{
    frmDAWait->close();
    setAppCursor(AppCursor::Default);
    if (PrevActiveForm) {
        PrevActiveForm->setEnabled(true);
        if (PrevActiveForm->isVisible()) {
            PrevActiveForm->activateWindow();
            PrevActiveForm->raise();
        }
    }
    processMessages();
}

} // namespace

void ShowWait(const QString &line1, const QString &line2, std::uint8_t percent, bool showCancel, bool showAnimation)
{
    if (!frmDAWait)
        frmDAWait = new TfrmDAWait();
    try {
        updateWait(line1, line2, percent, showCancel, showAnimation);
    } catch (...) {
        frmDAWait->repaint();
        throw;
    }
    frmDAWait->repaint();
}

void HideWait()
{
    if (!frmDAWait || !frmDAWait->isVisible())
        return;
    try {
        frmDAWait->pbWait->setValue(0);
        processMessages();
    } catch (...) {
        giveBackPreviousWindow();
        throw;
    }
    giveBackPreviousWindow();
}
