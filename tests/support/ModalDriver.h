#pragma once

// Drives the modal windows that the code under test opens, as a user would:
// queue what to do with each next modal window, then call the code that shows
// it. Each step runs once, in order, for a new modal window; a window that
// nobody closes (or that no step was queued for) is closed by force after the
// time-out and reported in failures(), so a broken test cannot hang.

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

class QLineEdit;
class QWidget;

namespace testsupport {

// What a modal window showed when the driver met it.
struct ModalRecord {
    QString className;
    QString title;
    // Message boxes: the text, the button captions in on-screen order, the
    // default button's caption and the icon (QMessageBox::Icon).
    QString text;
    QStringList buttons;
    QString defaultButton;
    int icon = 0;
};

class ModalDriver : public QObject {
    Q_OBJECT
public:
    using Action = std::function<void(QWidget *modal)>;

    // The time-out only keeps a broken test from hanging, and a window may
    // stay open long while the code under it works: the restore window lasts
    // through its file dialog and the whole restore, which a sanitizer build
    // on a busy machine makes slow. A correct test never waits for it.
    explicit ModalDriver(int timeoutMs = 30000);
    ~ModalDriver() override;

    // The next new modal window gets this action.
    ModalDriver &then(Action action);
    // The next new modal window gets these keys, one after another.
    ModalDriver &thenKeys(const QList<QKeySequence> &keys);

    // Processes events until every queued step has run and its window closed,
    // or the time-out; true when all went so.
    bool waitDone();

    const QList<ModalRecord> &seen() const { return seen_; }
    QStringList failures() const { return failures_; }
    // The failures and every window met, so that an unexpected box names its text.
    QString report() const;

private:
    void poll();
    void closeByForce(QWidget *modal, const QString &why);

    struct OpenModal {
        QPointer<QWidget> window;
        qint64 deadline;
    };
    int timeoutMs_;
    QTimer poller_;
    QList<Action> steps_;
    QList<QPointer<QWidget>> known_;
    QList<OpenModal> open_;
    qint64 stepDeadline_ = 0;
    QList<ModalRecord> seen_;
    QStringList failures_;
};

// Activates the window (the offscreen platform does not re-activate a window
// when a modal above it closes) and returns where its keys go: its focused
// widget, or the window itself.
QWidget *keyTarget(QWidget *window);
// Presses a key (with modifiers) at the window's key target.
void pressKey(QWidget *window, const QKeySequence &key);
// Types text key by key into a widget; any characters, diacritics included.
void typeText(QWidget *widget, const QString &text);
// Replaces a field's text by typing, as a user would.
void retype(QLineEdit *field, const QString &text);
// Chooses a file in an open file dialog by typing its name and accepting.
void chooseFile(QWidget *fileDialog, const QString &name);
// Runs the action once the window is destroyed, as a modal box or dialog is
// when the code that showed it has gone on (its own event loop has returned),
// or after the time-out; for looking at the window below it.
void whenGone(QWidget *window, std::function<void()> action, int timeoutMs = 5000);

} // namespace testsupport

// Fails the running test unless every queued step ran and its window closed.
#define VERIFY_DRIVER(driver) QVERIFY2((driver).waitDone(), qPrintable((driver).report()))
