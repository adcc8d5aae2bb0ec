// The other end of a key signal, for the key signal's tests. It runs in the
// runtime folder of its parent (XDG_RUNTIME_DIR is inherited).
//
//   aux_signal clock [hidden]                 a stand-in clock: prints "listening" or
//                                             "not listening", then "key <code>
//                                             visible=<0|1>" for each key taken;
//                                             ends on 121
//   aux_signal send <code> <wait> <ms>        sends one key, prints "true"/"false" and
//                                             "ms=<elapsed>"; exit 0 when true
//   aux_signal send-bare <code> <wait> <ms>   the same without an application object
#include "keysignal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <cstdio>
#include <memory>

namespace {

void say(const QByteArray& line) {
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int sendAndTell(int argc, char** argv) {
    if (argc != 5)
        return 2;
    QElapsedTimer timer;
    timer.start();
    const bool took = KeySignal::send(QByteArray(argv[2]).toInt(), QByteArray(argv[3]) == "1",
                                      QByteArray(argv[4]).toInt());
    say(took ? "true" : "false");
    say("ms=" + QByteArray::number(timer.elapsed()));
    return took ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "send-bare")
        return sendAndTell(argc, argv);
    if (mode == "send") {
        QCoreApplication app(argc, argv);
        return sendAndTell(argc, argv);
    }
    if (mode == "clock") {
        QApplication app(argc, argv);
        QWidget window;
        window.setWindowTitle(QStringLiteral("Dialmere"));
        KeySignalReceiver receiver(&window, [&window](int keyCode) {
            say("key " + QByteArray::number(keyCode) +
                " visible=" + QByteArray::number(window.isVisible() ? 1 : 0));
            if (keyCode == KeySignal::F10)
                QCoreApplication::quit();
        });
        if (!(argc > 2 && QByteArray(argv[2]) == "hidden"))
            window.show();
        say(receiver.listen() ? "listening" : "not listening");
        return app.exec();
    }
    std::fprintf(stderr, "usage: aux_signal clock|send|send-bare ...\n");
    return 2;
}
