#include "ModalDriver.h"

#include <QApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <algorithm>

namespace testsupport {

namespace {

ModalRecord recordOf(QWidget *modal)
{
    ModalRecord record;
    record.className = QString::fromLatin1(modal->metaObject()->className());
    record.title = modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        record.text = box->text();
        record.icon = box->icon();
        if (box->defaultButton())
            record.defaultButton = box->defaultButton()->text();
        QList<QAbstractButton *> buttons = box->buttons();
        std::sort(buttons.begin(), buttons.end(),
                  [](QAbstractButton *a, QAbstractButton *b) { return a->x() < b->x(); });
        for (QAbstractButton *button : buttons)
            record.buttons.append(button->text());
    }
    return record;
}

qint64 now()
{
    return QDeadlineTimer::current().deadline();
}

} // namespace

ModalDriver::ModalDriver(int timeoutMs) : timeoutMs_(timeoutMs)
{
    // Windows that are open already are not the ones to drive.
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->isModal())
            known_.append(widget);
    }
    poller_.setInterval(10);
    connect(&poller_, &QTimer::timeout, this, &ModalDriver::poll);
    poller_.start();
    stepDeadline_ = now() + timeoutMs_;
}

ModalDriver::~ModalDriver()
{
    poller_.stop();
}

ModalDriver &ModalDriver::then(Action action)
{
    steps_.append(std::move(action));
    stepDeadline_ = now() + timeoutMs_;
    return *this;
}

ModalDriver &ModalDriver::thenKeys(const QList<QKeySequence> &keys)
{
    return then([keys](QWidget *modal) {
        for (const QKeySequence &key : keys) {
            if (!modal || !modal->isVisible())
                return;
            pressKey(modal, key);
        }
    });
}

bool ModalDriver::waitDone()
{
    const auto done = [this] {
        return steps_.isEmpty() && std::none_of(open_.begin(), open_.end(), [](const OpenModal &open) {
                   return open.window && open.window->isVisible();
               });
    };
    const bool finished = QTest::qWaitFor(done, timeoutMs_ * 2);
    if (!finished)
        failures_.append(QStringLiteral("the queued steps did not finish"));
    return finished && failures_.isEmpty();
}

void ModalDriver::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    const bool isNew = modal && modal->isVisible() && !known_.contains(modal);
    if (isNew) {
        known_.append(modal);
        seen_.append(recordOf(modal));
        if (steps_.isEmpty()) {
            closeByForce(modal, QStringLiteral("no step was queued for the modal window"));
        } else {
            Action action = steps_.takeFirst();
            stepDeadline_ = now() + timeoutMs_;
            open_.append({modal, now() + timeoutMs_});
            // Run outside this timer: the action may open a nested modal loop.
            QPointer<QWidget> target = modal;
            QTimer::singleShot(0, this, [action, target] {
                if (target)
                    action(target);
            });
        }
    }
    for (const OpenModal &open : std::as_const(open_)) {
        if (open.window && open.window->isVisible() && now() > open.deadline)
            closeByForce(open.window, QStringLiteral("the modal window was left open"));
    }
    if (!steps_.isEmpty() && now() > stepDeadline_) {
        failures_.append(QStringLiteral("no modal window appeared for a queued step"));
        steps_.clear();
    }
}

QString ModalDriver::report() const
{
    QStringList lines = failures_;
    for (const ModalRecord &window : seen_)
        lines << QStringLiteral("met %1 \"%2\": %3").arg(window.className, window.title, window.text);
    return lines.join(u'\n');
}

void ModalDriver::closeByForce(QWidget *modal, const QString &why)
{
    failures_.append(QStringLiteral("%1: \"%2\"").arg(why, modal->windowTitle()));
    // Hiding ends a dialog's modal loop whatever its close query would say.
    modal->hide();
}

QWidget *keyTarget(QWidget *window)
{
    window->activateWindow();
    // Keys go to the focused widget even when the activation does not come.
    (void)QTest::qWaitFor([window] { return QApplication::activeWindow() == window; }, 1000);
    QWidget *focused = window->focusWidget();
    return focused ? focused : window;
}

void pressKey(QWidget *window, const QKeySequence &key)
{
    const QKeyCombination combination = key[0];
    QTest::keyClick(keyTarget(window), combination.key(), combination.keyboardModifiers());
}

void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128 && c.isPrint())
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    typeText(field, text);
}

void chooseFile(QWidget *fileDialog, const QString &name)
{
    fileDialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(name);
    static_cast<QDialog *>(fileDialog)->accept();
}

void whenGone(QWidget *window, std::function<void()> action, int timeoutMs)
{
    auto *poll = new QTimer;
    const QPointer<QWidget> watched(window);
    const qint64 deadline = QDateTime::currentMSecsSinceEpoch() + timeoutMs;
    QObject::connect(poll, &QTimer::timeout, [poll, watched, deadline, action = std::move(action)] {
        if (watched && QDateTime::currentMSecsSinceEpoch() < deadline)
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start(10);
}

} // namespace testsupport
