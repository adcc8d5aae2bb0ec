#include "ticklogic.h"

#include "keys.h"
#include "seams.h"
#include "store.h"
#include "timeformat.h"

#include <QMessageBox>

namespace {
const QString kAlarmCompareFormat = QStringLiteral("hh:mm:ss");
} // namespace

int TickLogic::msUntilNextTick(const QDateTime& now) {
    return 1000 - now.time().msec() + TickLagMs;
}

bool TickLogic::alarmDue(const QString& alarmText, qint64 previous, qint64 now) {
    if (now <= previous || now - previous >= MaxAlarmGapSecs)
        return false;
    // Every second of the interval is compared as text, exactly as the stored
    // time is written, so a tick that came late or was skipped loses nothing.
    for (qint64 s = previous + 1; s <= now; ++s) {
        const QTime t = QDateTime::fromSecsSinceEpoch(s).time();
        if (formatTime(t, kAlarmCompareFormat) == alarmText)
            return true;
    }
    return false;
}

void TickLogic::tick(const QDateTime& now, ClockState& state, TickHost& host) {
    host.setCaption(formatTime(now.time(), state.timeFormat));

    const qint64 nowSecs = now.toSecsSinceEpoch();
    if (m_lastCheck < 0)
        m_lastCheck = nowSecs - 1; // the start-up second counts for the alarm
    tickCount = quint8(qMin(255, tickCount + 1));
    // On the first tick of each new minute, or after 60 ticks without one.
    if (nowSecs / 60 != m_lastCheck / 60 || tickCount >= 60)
        minuteCheck(nowSecs, now, state, host);

    if (state.quickShow != 2)
        return;
    if (state.hideMode) {
        ++showSeconds;
        const double showTime = Store::getNumber(Keys::Section::Settings, Keys::Settings::ShowTime,
                                                 QStringLiteral("3"));
        if (showSeconds < showTime)
            return;
        host.setHide(true);
    }
    showSeconds = 0;
    state.quickShow = 1;
}

void TickLogic::minuteCheck(qint64 nowSecs, const QDateTime& now, ClockState& state,
                            TickHost& host) {
    tickCount = 0;
    const QString alarm =
        Store::get(Keys::Section::Alarm, Keys::Alarm::Time, QLatin1String(Keys::Alarm::NoAlarm));
    const qint64 previous = m_lastCheck;
    m_lastCheck = nowSecs;
    if (alarmDue(alarm, previous, nowSecs))
        fireAlarm(host);

    if (state.dateToolTip) {
        const QString date = formatDate(now.date(), state.dateFormat);
        if (date != host.captionToolTip())
            host.setCaptionToolTip(date);
    }
}

void TickLogic::fireAlarm(TickHost& host) {
    host.focusIfVisible();
    const int type =
        Store::getSmallInteger(Keys::Section::Alarm, Keys::Alarm::Type, QStringLiteral("0"));
    if (type == Keys::Alarm::TypeMessage) {
        const QString text =
            Store::get(Keys::Section::Alarm, Keys::Alarm::Message, QStringLiteral("Alarm!"));
        // Not modal: the caption goes on ticking while the box is open.
        Seams::messages().tell(host.messageParent(), QMessageBox::Information,
                               QStringLiteral("Alarm"), text);
    } else if (type == Keys::Alarm::TypeSound) {
        Seams::messages().beep();
    } else {
        const QString program =
            Store::get(Keys::Section::Alarm, Keys::Alarm::Program, QStringLiteral("calc.exe"));
        if (!Seams::startCommandLine(program))
            Seams::messages().tell(
                host.messageParent(), QMessageBox::Warning, QStringLiteral("Alarm"),
                QStringLiteral("The alarm could not start its program:\n%1").arg(program));
    }
}
