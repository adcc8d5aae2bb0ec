// Fakes for the clock tests: message boxes, process starts and the time.
#pragma once

#include "seams.h"

#include <QList>
#include <QStringList>
#include <functional>

struct ShownMessage {
    QMessageBox::Icon icon;
    QString title;
    QString text;
    bool modal;
};

class FakeMessages : public Seams::Messages {
public:
    QMessageBox::StandardButton ask(QWidget*, QMessageBox::Icon icon, const QString& title,
                                    const QString& text, QMessageBox::StandardButtons) override {
        shown.append({icon, title, text, true});
        return answers.isEmpty() ? QMessageBox::Ok : answers.takeFirst();
    }
    void tell(QWidget*, QMessageBox::Icon icon, const QString& title,
              const QString& text) override {
        shown.append({icon, title, text, false});
    }
    void beep() override { ++beeps; }

    QList<ShownMessage> shown;
    QList<QMessageBox::StandardButton> answers; // for ask(), in order; then Ok
    int beeps = 0;
};

class FakeProcesses : public Seams::Processes {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started.append(QStringList{program} + arguments);
        return !refuse;
    }
    bool startDetachedWithPid(const QString& program, const QStringList& arguments,
                              qint64* pid) override {
        if (pid)
            *pid = 4242;
        if (onStart)
            onStart();
        return startDetached(program, arguments);
    }
    bool isRunning(qint64) override { return running; }

    QList<QStringList> started;
    bool refuse = false;
    bool running = true;
    std::function<void()> onStart;
};

class FakeClock : public Seams::Clock {
public:
    QDateTime now() const override { return time; }
    QDateTime time;
};

// The offscreen platform cannot shape or raise windows and says so each time;
// those lines are noise in the clock tests.
inline void quietOffscreenWarnings() {
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (text.startsWith(QLatin1String("This plugin does not support")))
                return;
            if (previous)
                previous(type, context, text);
        });
}
