// A second program using the settings store, for the store's tests. It runs in
// the store of its parent (XDG_CONFIG_HOME is inherited).
//
//   aux_store get <section> <key> <default>   prints the value (UTF-8)
//   aux_store hammer <section> <key> <count>  saves "v0001".."v<count>", each
//                                             read back at once; exit 1 on a miss
//   aux_store serve <section> <key>           saves each line of stdin, answers
//                                             "ok" or "fail" per line
//   aux_store holdlock                        takes the store's lock, says
//                                             "locked" and waits to be killed
#include "store.h"

#include <QCoreApplication>
#include <QLockFile>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    const QString section = args.value(2);
    const QString key = args.value(3);

    if (mode == QLatin1String("get") && args.size() == 5) {
        const QByteArray out = Store::get(section, key, args.value(4)).toUtf8();
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        return 0;
    }
    if (mode == QLatin1String("hammer") && args.size() == 5) {
        const int count = args.value(4).toInt();
        for (int i = 1; i <= count; ++i) {
            const QString value = QStringLiteral("v%1").arg(i, 4, 10, QLatin1Char('0'));
            if (!Store::save(section, key, value) || Store::get(section, key, {}) != value) {
                std::fprintf(stderr, "lost %s at %d\n", qPrintable(key), i);
                return 1;
            }
        }
        return 0;
    }
    if (mode == QLatin1String("serve") && args.size() == 4) {
        std::string line;
        while (std::getline(std::cin, line)) {
            const bool ok = Store::save(section, key, QString::fromStdString(line));
            std::cout << (ok ? "ok" : "fail") << std::endl;
        }
        return 0;
    }
    if (mode == QLatin1String("holdlock")) {
        QLockFile lock(Store::filePath() + QLatin1String(".lock"));
        if (!lock.tryLock(5000))
            return 1;
        std::cout << "locked" << std::endl;
        for (;;)
            QThread::sleep(60);
    }
    std::fprintf(stderr, "usage: aux_store get|hammer|serve ...\n");
    return 2;
}
