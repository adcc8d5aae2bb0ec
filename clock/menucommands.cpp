#include "menucommands.h"

#include "seams.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace MenuCommands {

QString modulePath(const QString& program) {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/modules/") + program;
}

bool startProgram(QWidget* parent, const QString& path, const QString& name) {
    if (Seams::processes().startDetached(path, {}))
        return true;
    const QString where = path.isEmpty() ? QStringLiteral("No program file is stored for it.")
                                         : QStringLiteral("The program \"%1\" is missing or "
                                                          "cannot be run.")
                                               .arg(QDir::toNativeSeparators(path));
    Seams::messages().tell(parent, QMessageBox::Warning, QStringLiteral("Dialmere"),
                           QStringLiteral("%1 cannot be started.\n\n%2").arg(name, where));
    return false;
}

QList<Tool> dateTimeTools() {
    return {
        {QStringLiteral("gnome-control-center"),
         {QStringLiteral("datetime")},
         {QStringLiteral("GNOME"), QStringLiteral("UNITY"), QStringLiteral("BUDGIE")}},
        {QStringLiteral("cinnamon-settings"),
         {QStringLiteral("calendar")},
         {QStringLiteral("X-CINNAMON"), QStringLiteral("CINNAMON")}},
        {QStringLiteral("kcmshell6"), {QStringLiteral("kcm_clock")}, {QStringLiteral("KDE")}},
        {QStringLiteral("kcmshell5"), {QStringLiteral("clock")}, {QStringLiteral("KDE")}},
        {QStringLiteral("xfce4-datetime-settings"), {}, {QStringLiteral("XFCE")}},
        {QStringLiteral("mate-time-admin"), {}, {QStringLiteral("MATE")}},
        {QStringLiteral("time-admin"),
         {},
         {QStringLiteral("XFCE"), QStringLiteral("MATE"), QStringLiteral("LXDE")}},
    };
}

Tool findDateTimeTool(const QString& desktop, const std::function<QString(const QString&)>& find) {
    const QStringList current = desktop.toUpper().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    Tool fallback;
    for (const Tool& tool : dateTimeTools()) {
        const QString path = find(tool.program);
        if (path.isEmpty())
            continue;
        Tool found = tool;
        found.program = path;
        for (const QString& d : current) {
            if (tool.desktops.contains(d))
                return found;
        }
        if (fallback.program.isEmpty())
            fallback = found;
    }
    return fallback;
}

bool openDateTimeSettings(QWidget* parent) {
    const Tool tool =
        findDateTimeTool(QString::fromLocal8Bit(qgetenv("XDG_CURRENT_DESKTOP")),
                         [](const QString& p) { return QStandardPaths::findExecutable(p); });
    if (!tool.program.isEmpty() && Seams::processes().startDetached(tool.program, tool.arguments))
        return true;
    const QString text =
        tool.program.isEmpty()
            ? QStringLiteral("No date and time settings were found on this desktop.\n\n"
                             "Set the time with your system's own settings.")
            : QStringLiteral("The date and time settings \"%1\" cannot be started.")
                  .arg(tool.program);
    Seams::messages().tell(parent, QMessageBox::Information, QStringLiteral("Set Time"), text);
    return false;
}

} // namespace MenuCommands
