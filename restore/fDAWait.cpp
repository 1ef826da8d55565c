#include "fDAWait.h"

#include "RestoreLook.h"
#include "ui/Application.h"
#include "ui/Drawing.h"
#include "ui/ErrorBoundary.h"
#include "ui/MessageBox.h"
#include "ui/SystemColors.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

using namespace platform;

TfrmDAWait *frmDAWait = nullptr;

namespace {

QLabel *statusLine(QWidget *parent, const QRect &place, const QString &text, int fontPixels, const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(platform::tahomaFont(fontPixels));
    setFontColor(label, colour);
    return label;
}

} // namespace

TfrmDAWait::TfrmDAWait(QWidget *owner) : Form(owner)
{
    setWindowTitle(QStringLiteral("Čekejte prosím"));
    setBorderStyle(BorderStyle::None);
    setClientSize(397, 113);
    setColor(clInfoBk);

    pnlWait = new QFrame(this);
    pnlWait->setGeometry(0, 0, 397, 113);
    pnlWait->setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlWait->setFont(platform::tahomaFont(11));
    setFontColor(pnlWait, clNavy);

    aniStav = new Animation(pnlWait);
    aniStav->setGeometry(64, 4, 272, 46);

    pbWait = new QProgressBar(pnlWait);
    pbWait->setGeometry(12, 56, 373, 17);
    pbWait->setRange(0, 200);
    pbWait->setValue(0);
    pbWait->setTextVisible(false);

    labStav1 = statusLine(pnlWait, {16, 76, 365, 17}, QStringLiteral("Probíhá probíhání ..."), 13, clNavy);
    labStav2 = statusLine(pnlWait, {16, 92, 365, 13}, QStringLiteral("Podrobnější popis probíhání ...."), 11, clBlack);

    btnStorno = new QToolButton(pnlWait);
    btnStorno->setGeometry(372, 4, 20, 20);
    btnStorno->setAutoRaise(true);
    btnStorno->setToolTip(QStringLiteral("Přerušit"));
    btnStorno->setIcon(cancelGlyph());
    connect(btnStorno, &QToolButton::clicked, this, guarded(this, &TfrmDAWait::btnStornoClick));
}

void TfrmDAWait::FormShow()
{
    setWindowState(Qt::WindowNoState);
    if (!aniStav->isHidden())
        aniStav->play();
    repaint();
    processMessages();
}

void TfrmDAWait::FormClose()
{
    if (aniStav->isPlaying())
        aniStav->stop();
}

void TfrmDAWait::btnStornoClick()
{
    const int answer = messageBox(QStringLiteral("Opravdu si přejete přerušit prováděnou akci?"),
                                  QStringLiteral("Přerušit?"), MB_YESNOCANCEL | MB_ICONQUESTION);
    if (answer == IDYES && OnStorno)
        OnStorno(this);
}
