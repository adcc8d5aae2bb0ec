#include "seams.h"

#include <QApplication>
#include <QProcess>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace {

class RealClock : public Seams::Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class RealProcesses : public Seams::Processes {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        if (program.isEmpty())
            return false;
        return QProcess::startDetached(program, arguments);
    }
    bool startDetachedWithPid(const QString& program, const QStringList& arguments,
                              qint64* pid) override {
        if (pid)
            *pid = 0;
        if (program.isEmpty())
            return false;
        return QProcess::startDetached(program, arguments, QString(), pid);
    }
};

class RealMessages : public Seams::Messages {
public:
    QMessageBox::StandardButton ask(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                    const QString& text,
                                    QMessageBox::StandardButtons buttons) override {
        QMessageBox box(icon, title, text, buttons, parent);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }
    void tell(QWidget* parent, QMessageBox::Icon icon, const QString& title,
              const QString& text) override {
        auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
        box->raise();
        box->activateWindow();
    }
    void beep() override { QApplication::beep(); }
};

RealClock realClock;
RealProcesses realProcesses;
RealMessages realMessages;
Seams::Clock* currentClock = &realClock;
Seams::Processes* currentProcesses = &realProcesses;
Seams::Messages* currentMessages = &realMessages;

} // namespace

namespace Seams {

bool Processes::isRunning(qint64 pid) {
    if (pid <= 0)
        return true;
#ifdef Q_OS_UNIX
    // A detached process is not our child: it is reaped by others, so signal 0
    // tells whether it still exists (EPERM: it exists but is not ours).
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    return true;
#endif
}

Clock& clock() {
    return *currentClock;
}
Processes& processes() {
    return *currentProcesses;
}
Messages& messages() {
    return *currentMessages;
}

void setClock(Clock* fake) {
    currentClock = fake ? fake : &realClock;
}
void setProcesses(Processes* fake) {
    currentProcesses = fake ? fake : &realProcesses;
}
void setMessages(Messages* fake) {
    currentMessages = fake ? fake : &realMessages;
}

bool startCommandLine(const QString& commandLine) {
    const QStringList parts = QProcess::splitCommand(commandLine);
    if (parts.isEmpty())
        return false;
    return processes().startDetached(parts.first(), parts.mid(1));
}

} // namespace Seams
