#include "Form.h"

#include "ErrorBoundary.h"
#include "SystemColors.h"
#include "WindowHints.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>

namespace platform {

Form::Form(QWidget *parent) : QDialog(parent)
{
    setBorderStyle(BorderStyle::Dialog);
}

Form::~Form() = default;

int Form::showModal()
{
    modalResult_ = mrNone;
    QScopedValueRollback<bool> modal(shownModal_, true);
    exec();
    return modalResult_;
}

void Form::setModalResult(int result)
{
    modalResult_ = result;
    if (result != mrNone && shownModal_)
        scheduleCloseAttempt();
}

void Form::setButtonModalResult(QAbstractButton *button, int result)
{
    connect(button, &QAbstractButton::clicked, this, [this, result] { setModalResult(result); });
}

void Form::setDefaultButton(QPushButton *button)
{
    defaultButton_ = button;
    button->setDefault(true);
}

void Form::setCancelButton(QAbstractButton *button)
{
    cancelButton_ = button;
}

void Form::setKeyPreview(bool on)
{
    if (on == keyPreview_)
        return;
    keyPreview_ = on;
    // The keys must reach the form before the focused control: watch them at
    // the application and take only those for this form.
    if (on)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

void Form::setBorderStyle(BorderStyle style)
{
    borderStyle_ = style;
    Qt::WindowFlags flags = Qt::Dialog;
    switch (style) {
    case BorderStyle::Dialog:
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        break;
    case BorderStyle::DialogNoIcons:
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        break;
    case BorderStyle::None:
        flags |= Qt::FramelessWindowHint;
        break;
    }
    setWindowFlags(flags);
}

void Form::setClientSize(int width, int height)
{
    setFixedSize(width, height);
}

void Form::setColor(const QColor &color)
{
    setControlColor(this, color);
}

void Form::done(int result)
{
    if (finishing_ || !shownModal_) {
        QDialog::done(result);
        return;
    }
    // accept() and reject() from Qt's side go the form's way: through the
    // modal result and the close query.
    setModalResult(result == QDialog::Rejected ? mrCancel : result);
}

void Form::scheduleCloseAttempt()
{
    // Like the class library's modal loop, which looks at the modal result
    // once the current message is handled: several settings make one attempt.
    if (closeAttemptPending_)
        return;
    closeAttemptPending_ = true;
    QMetaObject::invokeMethod(this, &Form::attemptModalClose, Qt::QueuedConnection);
}

void Form::attemptModalClose()
{
    closeAttemptPending_ = false;
    if (!shownModal_ || modalResult_ == mrNone || !isVisible())
        return;
    if (!closeQueryAgrees()) {
        modalResult_ = mrNone;
        return;
    }
    QScopedValueRollback<bool> finishing(finishing_, true);
    QDialog::done(modalResult_);
}

bool Form::closeQueryAgrees()
{
    // A close query or close handler that fails keeps the form open.
    bool agreed = false;
    runGuarded([&] {
        bool canClose = true;
        FormCloseQuery(canClose);
        if (canClose)
            FormClose();
        agreed = canClose;
    });
    return agreed;
}

void Form::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    // A Windows dialog border has no minimise or maximise box.
    if (borderStyle_ != BorderStyle::None)
        setTitleButtons(this, borderStyle_ == BorderStyle::Dialog ? TitleButtons::CloseOnly : TitleButtons::None);
    // Every form is centred on the screen whenever it is shown.
    if (const QScreen *target = screen() ? screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(target->availableGeometry().center());
        move(frame.topLeft());
    }
    runGuarded([this] { FormShow(); });
}

void Form::closeEvent(QCloseEvent *event)
{
    if (finishing_) {
        event->accept();
        return;
    }
    if (shownModal_) {
        event->ignore();
        setModalResult(mrCancel);
        return;
    }
    event->setAccepted(closeQueryAgrees());
}

void Form::keyPressEvent(QKeyEvent *event)
{
    // The form's dialog keys, for keys that the focused control left alone.
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (defaultButton_ && defaultButton_->isVisible() && defaultButton_->isEnabled())
            defaultButton_->click();
        event->accept();
        return;
    case Qt::Key_Escape:
        if (cancelButton_ && cancelButton_->isVisible() && cancelButton_->isEnabled())
            cancelButton_->click();
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

bool Form::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !keyPreview_ || forwardingKey_ || !watched->isWidgetType())
        return false;
    auto *widget = static_cast<QWidget *>(watched);
    if (widget->window() != this)
        return false;
    return previewKey(widget, static_cast<QKeyEvent *>(event));
}

bool Form::previewKey(QWidget *receiver, QKeyEvent *event)
{
    int key = virtualKey(*event);
    if (key != 0) {
        // A key whose handler failed goes no further.
        bool handled = false;
        runGuarded([&] {
            FormKeyDown(key, event->modifiers());
            handled = true;
        });
        if (key == 0 || !handled) {
            event->accept();
            return true;
        }
    }
    // The filter sees a key once for every widget it climbs through; deliver
    // it here ourselves so that the form looks at it only once.
    {
        QScopedValueRollback<bool> forwarding(forwardingKey_, true);
        QCoreApplication::sendEvent(receiver, event);
    }
    event->accept();
    return true;
}

void nameComponents(std::initializer_list<std::pair<QObject *, const char *>> components)
{
    for (const auto &[component, name] : components)
        component->setObjectName(QLatin1String(name));
}

} // namespace platform
