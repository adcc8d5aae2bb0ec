// The popup menu's commands that reach outside the clock: starting the
// companion programs and the user's modules, and opening the desktop's date
// and time settings. A program that cannot be started is named in a message.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace MenuCommands {

// <application directory>/modules/<program>.
QString modulePath(const QString& program);

// Starts `path` with no arguments and does not wait. When it cannot be
// started, a message box names `name` and the path. Returns whether it started.
bool startProgram(QWidget* parent, const QString& path, const QString& name);

// A date and time settings tool and the desktops it belongs to.
struct Tool {
    QString program;
    QStringList arguments;
    QStringList desktops; // XDG_CURRENT_DESKTOP names, upper case
};

// Every known tool, in the order they are tried.
QList<Tool> dateTimeTools();

// The tool to run: the first one found whose desktop is the current one
// (`desktop` as in XDG_CURRENT_DESKTOP, names separated by ':'), else the
// first one found at all. `find` gives a program's full path, or an empty
// text when it is not installed. The program of the result is a full path;
// an empty program means none was found.
Tool findDateTimeTool(const QString& desktop, const std::function<QString(const QString&)>& find);

// Starts the desktop's date and time settings; says so in a message box when
// this desktop has none or it cannot be started.
bool openDateTimeSettings(QWidget* parent);

} // namespace MenuCommands
