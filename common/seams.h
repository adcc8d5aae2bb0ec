// Small seams between the programs' logic and the platform: the current time,
// starting programs, message boxes and the beep. The real implementations are
// installed by default; tests install fakes with the set*() functions.
#pragma once

#include <QDateTime>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

namespace Seams {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class Processes {
public:
    virtual ~Processes() = default;
    // Starts `program` with `arguments` without waiting for it. False when it
    // cannot be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // The same, also giving the started process's id in `pid` (0 when it is
    // not known; then isRunning() cannot tell and says true).
    virtual bool startDetachedWithPid(const QString& program, const QStringList& arguments,
                                      qint64* pid) {
        if (pid)
            *pid = 0;
        return startDetached(program, arguments);
    }
    // Whether the process `pid` is still alive. An unknown id (0) counts as alive.
    virtual bool isRunning(qint64 pid);
};

class Messages {
public:
    virtual ~Messages() = default;
    // Modal: returns the button the user pressed.
    virtual QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons) = 0;
    // Not modal: the caller goes on at once (the clock keeps ticking).
    virtual void tell(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                      const QString& text) = 0;
    virtual void beep() = 0;
};

Clock& clock();
Processes& processes();
Messages& messages();

// Tests install fakes; nullptr puts the real one back. The caller keeps ownership.
void setClock(Clock* fake);
void setProcesses(Processes* fake);
void setMessages(Messages* fake);

// Splits a command line the way a shell user expects (quotes group words) and
// starts it. False for an empty line or a program that cannot be started.
bool startCommandLine(const QString& commandLine);

} // namespace Seams
