// The clock's once-a-second work, apart from the window: the time caption, the
// minute check with the daily alarm and the date tooltip, and the quick-show
// timing. The window implements TickHost; tests drive the logic with a fake
// host and a made-up time.
#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

class QWidget;

// The clock window's public settings that the tick reads and writes.
struct ClockState {
    bool hideMode = false;                              // the hidden face is selected
    QString timeFormat = QStringLiteral("hh:mm:ss");    // time caption
    QString dateFormat = QStringLiteral("mmm d, yyyy"); // date tooltip
    bool dateToolTip = true;                            // keep the date in the tooltip
    bool dock = false;                                  // snap to the edges after a drag
    qint16 quickShow = 1;                               // 0 off, 1 armed, 2 showing
    bool OnTop = false;                                 // keep the window above the others
};

// What the tick does to the window.
class TickHost {
public:
    virtual ~TickHost() = default;
    virtual void setCaption(const QString& text) = 0;
    virtual QString captionToolTip() const = 0;
    virtual void setCaptionToolTip(const QString& text) = 0;
    // Puts up the hidden (true) or shown (false) face.
    virtual void setHide(bool hide) = 0;
    // Gives the window the keyboard focus when it is visible (alarm).
    virtual void focusIfVisible() = 0;
    // Parent of the alarm's message boxes.
    virtual QWidget* messageParent() = 0;
};

class TickLogic {
public:
    // Runs one tick at `now` (local time) on `state` and `host`.
    void tick(const QDateTime& now, ClockState& state, TickHost& host);

    // Milliseconds from `now` until just after the next whole second: the
    // tick is aligned to the wall clock, so the caption changes within a few
    // milliseconds of the real second.
    static int msUntilNextTick(const QDateTime& now);
    static constexpr int TickLagMs = 5;

    // A gap between two minute checks from which on an alarm is not fired
    // (a clock that wakes from a long suspend does not sound a stale alarm).
    static constexpr qint64 MaxAlarmGapSecs = 120;

    // Whether the alarm `alarmText` (as stored: compared with the time of day
    // formatted "hh:mm:ss") falls in a second after `previous` and at or
    // before `now`, both whole seconds since the epoch.
    static bool alarmDue(const QString& alarmText, qint64 previous, qint64 now);

    quint8 tickCount = 0;   // ticks since the last minute check
    qint16 showSeconds = 0; // seconds the running quick-show has lasted

private:
    void minuteCheck(qint64 nowSecs, const QDateTime& now, ClockState& state, TickHost& host);
    void fireAlarm(TickHost& host);

    // Second (since the epoch) of the last minute check; -1 before the first tick.
    qint64 m_lastCheck = -1;
};
