#pragma once

// Runs a program as a process of its own on a private virtual screen and
// answers its windows with keys as a user would, for what only a real
// process shows: its exit code. Needs Xvfb and xdotool.

#include <QDeadlineTimer>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>

#include <csignal>
#include <sys/prctl.h>

namespace restoretest {

// A test program that ends early (its watchdog aborts it) takes the
// processes it started with it.
inline void endWithThisProcess(QProcess &process)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

// An X server of its own on a free display, for the life of the object: one
// for each program run, so that no run finds what an earlier one left. It
// never resets: a server resets whenever its last client leaves (an earlier
// program, or an xdotool that looked for a window before the program had
// connected), and a program that connects meanwhile finds no display.
class VirtualScreen {
public:
    VirtualScreen()
    {
        endWithThisProcess(xvfb_);
        xvfb_.start(QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                     QStringLiteral("tcp"), QStringLiteral("-noreset"), QStringLiteral("-screen"), QStringLiteral("0"),
                     QStringLiteral("1024x768x24")});
        // The server writes its display number once it accepts clients.
        const QDeadlineTimer deadline(20000);
        QByteArray number;
        while (!number.endsWith('\n') && xvfb_.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            xvfb_.waitForReadyRead(100);
            number += xvfb_.readAllStandardOutput();
        }
        if (number.endsWith('\n'))
            display_ = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    }
    ~VirtualScreen()
    {
        xvfb_.terminate();
        if (!xvfb_.waitForFinished(5000))
            xvfb_.kill();
        xvfb_.waitForFinished(5000);
    }
    VirtualScreen(const VirtualScreen &) = delete;
    VirtualScreen &operator=(const VirtualScreen &) = delete;

    // ":N", empty when the server did not start.
    QString display() const { return display_; }

private:
    QProcess xvfb_;
    QString display_;
};

// A window the program is expected to show, and the key that answers it.
struct WindowAnswer {
    QString title;
    QString key; // as xdotool names it: "Return", "Escape"
};

struct ProgramRun {
    bool finished = false;
    int exitCode = -1;
    QStringList windowsAnswered;
    QString failure; // what went otherwise than expected
};

class ProgramOnScreen {
public:
    explicit ProgramOnScreen(const VirtualScreen &screen) : screen_(screen) {}

    // Starts the program, answers the windows in their order and waits for
    // its end. A window that does not come, or a program that does not end,
    // is reported in failure after the time-out (shorter than a test
    // function's); the program is then killed.
    ProgramRun run(const QString &program, const QStringList &args, const QList<WindowAnswer> &answers,
                   int timeoutMs = 15000) const
    {
        ProgramRun result;
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), screen_.display());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        endWithThisProcess(process);
        process.start(program, args);
        const QDeadlineTimer deadline(timeoutMs);
        // A window stays up after its answer while the program works on (the
        // restore window during the restore): each window is answered once.
        QStringList answered;
        for (const WindowAnswer &answer : answers) {
            const QString window = waitForWindow(process, answer.title, answered, deadline);
            if (window.isEmpty()) {
                result.failure = QStringLiteral("no window \"%1\" came").arg(answer.title);
                break;
            }
            // The key goes to the window itself, whichever window has the focus.
            xdotool({QStringLiteral("windowfocus"), window});
            xdotool({QStringLiteral("key"), QStringLiteral("--window"), window, answer.key});
            answered << window;
            result.windowsAnswered << answer.title;
        }
        result.finished = process.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1)));
        if (!result.finished) {
            result.failure += QStringLiteral(" the program did not end");
            process.kill();
            process.waitForFinished(5000);
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return result;
    }

private:
    QString xdotool(const QStringList &args) const
    {
        QProcess tool;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), screen_.display());
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral("xdotool"), args);
        tool.waitForFinished(10000);
        return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    }

    // The visible windows with exactly this title (xdotool takes a POSIX
    // regular expression).
    QStringList windowsTitled(const QString &title) const
    {
        QString pattern = QStringLiteral("^");
        for (QChar c : title) {
            if (QStringLiteral(".[]()*+?{}|^$\\").contains(c))
                pattern += QLatin1Char('\\');
            pattern += c;
        }
        pattern += QLatin1Char('$');
        return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"), pattern})
            .split(u'\n', Qt::SkipEmptyParts);
    }

    // A visible window with the title that was not answered yet.
    QString waitForWindow(QProcess &process, const QString &title, const QStringList &answered,
                          const QDeadlineTimer &deadline) const
    {
        for (;;) {
            for (const QString &window : windowsTitled(title)) {
                if (!answered.contains(window))
                    return window;
            }
            if (process.state() == QProcess::NotRunning || deadline.hasExpired())
                return QString();
            process.waitForFinished(50);
        }
    }

    const VirtualScreen &screen_;
};

} // namespace restoretest
