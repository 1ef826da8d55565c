#pragma once

// The wait window: two status lines, a progress bar, an animation and an
// optional cancel button over a borderless window in the tooltip colour.

#include "ui/Animation.h"
#include "ui/Form.h"

#include <functional>

class QFrame;
class QLabel;
class QProgressBar;
class QToolButton;

class TfrmDAWait : public platform::Form {
    Q_OBJECT
public:
    explicit TfrmDAWait(QWidget *owner = nullptr);

    QFrame *pnlWait;
    platform::Animation *aniStav;
    QProgressBar *pbWait;
    QLabel *labStav1;
    QLabel *labStav2;
    QToolButton *btnStorno;

    // Told when the user confirmed the cancel question; the sender is the window.
    std::function<void(QObject *sender)> OnStorno;

    void btnStornoClick();

protected:
    void FormShow() override;
    void FormClose() override;
};

// The one wait window; empty until the first ShowWait.
extern TfrmDAWait *frmDAWait;
