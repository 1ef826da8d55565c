#pragma once

// The base of every form: a dialog with the class library's modal result,
// close query, key preview, default and cancel buttons, border styles and
// fixed client sizes in pixels, centred on the screen whenever shown.
//
// Modal result: a modal form reports how it closed, 1 (OK) or 2 (cancel).
// Setting a nonzero modal result on a form shown by showModal makes it try to
// close once the current event is handled; close() (also the close box, Esc
// through a cancel button with result 2, reject()) gives 2. The close query
// may refuse: the form stays open and its modal result is 0 again.

#include "Keys.h"

#include <QDialog>
#include <QPointer>

#include <initializer_list>
#include <utility>

class QAbstractButton;
class QPushButton;

namespace platform {

constexpr int mrNone = 0;
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

enum class BorderStyle {
    Dialog,        // caption with the system menu and a close box
    DialogNoIcons, // caption without title-bar buttons
    None,          // no border and no caption
};

class Form : public QDialog {
    Q_OBJECT
public:
    explicit Form(QWidget *parent = nullptr);
    ~Form() override;

    // Shows the form modally and returns its modal result (1, 2 or another
    // nonzero value set by the form).
    int showModal();

    int modalResult() const { return modalResult_; }
    void setModalResult(int result);

    // Clicking the button sets the form's modal result.
    void setButtonModalResult(QAbstractButton *button, int result);
    // Enter presses the default button unless the focused control takes Enter
    // itself (a focused push button presses itself).
    void setDefaultButton(QPushButton *button);
    // Esc presses the cancel button.
    void setCancelButton(QAbstractButton *button);

    // With key preview on, FormKeyDown sees every key before the focused control.
    void setKeyPreview(bool on);
    bool keyPreview() const { return keyPreview_; }

    void setBorderStyle(BorderStyle style);
    // Fixed size of the client area in pixels.
    void setClientSize(int width, int height);
    // The form's "Color".
    void setColor(const QColor &color);

    void done(int result) override;

protected:
    // The form's event handlers; derived forms override the ones they handle.
    virtual void FormShow() {}
    // Set canClose false to refuse the close; it starts true.
    virtual void FormCloseQuery(bool &canClose) { Q_UNUSED(canClose); }
    virtual void FormClose() {}
    // key is the Windows virtual key; setting it to 0 consumes the key.
    virtual void FormKeyDown(int &key, Qt::KeyboardModifiers shift)
    {
        Q_UNUSED(key);
        Q_UNUSED(shift);
    }

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void scheduleCloseAttempt();
    void attemptModalClose();
    // Runs the close query and, when it agrees, the close handler.
    bool closeQueryAgrees();
    bool previewKey(QWidget *receiver, QKeyEvent *event);

    int modalResult_ = mrNone;
    bool shownModal_ = false;
    bool closeAttemptPending_ = false;
    bool finishing_ = false;
    bool keyPreview_ = false;
    bool forwardingKey_ = false;
    BorderStyle borderStyle_ = BorderStyle::Dialog;
    QPointer<QPushButton> defaultButton_;
    QPointer<QAbstractButton> cancelButton_;
};

// Gives each component its name as the form's table calls it, so that tests
// and readers find it by that word.
void nameComponents(std::initializer_list<std::pair<QObject *, const char *>> components);

} // namespace platform
