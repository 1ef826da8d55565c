#pragma once

// Showing and hiding the wait window over a long operation on the
// user-interface thread.

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>

// The window that was active when ShowWait last found another window than
// the wait window active (may be none).
extern QPointer<QWidget> PrevActiveForm;

// Shows the wait window if hidden and updates it. percent 0 hides the bar.
void ShowWait(const QString &line1, const QString &line2, std::uint8_t percent, bool showCancel, bool showAnimation);
// Takes the wait window away and gives the previous window back.
void HideWait();
