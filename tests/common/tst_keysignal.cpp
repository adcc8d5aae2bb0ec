// Key signals between two processes: sending, receiving, stale and live
// sockets, peers that misbehave, and who may reach the clock.
#include "keys.h"
#include "keysignal.h"
#include "store.h"
#include "testenv.h"

#include <QtTest>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <grp.h>
#include <memory>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

static TestEnv testEnv;

namespace {

QString auxPath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/aux_signal");
}

QString socketPath() {
    return testEnv.runtimeDir() + QStringLiteral("/Dialmere");
}

int folderMode(const QString& path) {
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return int(st.st_mode & 07777);
}

// Runs events until `done` holds or `ms` passed; whether it held.
template <typename Done> bool runUntil(Done done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(5);
    }
    return true;
}

// A key sender in another process, run to its end while this process keeps
// handling events (it may be the clock).
struct SendResult {
    bool finished = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    int ms = -1; // as the sender measured it
};

SendResult sendFromOtherProcess(int keyCode, bool wait, int timeoutMs, const char* mode = "send") {
    QProcess p;
    p.start(auxPath(),
            {QString::fromLatin1(mode), QString::number(keyCode),
             wait ? QStringLiteral("1") : QStringLiteral("0"), QString::number(timeoutMs)});
    SendResult r;
    if (!p.waitForStarted(5000))
        return r;
    r.finished = runUntil([&] { return p.state() == QProcess::NotRunning; }, timeoutMs + 10000);
    if (!r.finished)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    const int at = r.out.indexOf("ms=");
    if (at >= 0)
        r.ms = r.out.mid(at + 3).trimmed().toInt();
    return r;
}

// The stand-in clock in another process.
class AuxClock {
public:
    explicit AuxClock(bool hidden = false) {
        QStringList args{QStringLiteral("clock")};
        if (hidden)
            args << QStringLiteral("hidden");
        m_process.start(auxPath(), args);
    }
    ~AuxClock() {
        if (m_process.state() != QProcess::NotRunning) {
            ::kill(pid_t(m_process.processId()), SIGCONT);
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    // Waits for a line of its output; false when it did not come.
    bool waitForLine(const QByteArray& line, int ms = 10000) {
        return runUntil(
            [&] {
                m_out += m_process.readAllStandardOutput();
                return m_out.split('\n').contains(line);
            },
            ms);
    }
    QByteArray output() {
        m_out += m_process.readAllStandardOutput();
        return m_out;
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_out;
};

// A receiver in this process that records what its handler got.
struct Clock {
    QWidget window;
    QList<int> keys;
    KeySignalReceiver receiver{&window, [this](int keyCode) { keys << keyCode; }};
};

// A peer listening at the clock's socket that takes connections and then
// behaves as the test wants: never answer, answer part of a line, ...
class FakePeer : public QObject {
public:
    explicit FakePeer(QByteArray answer, bool closeAfter) : m_answer(std::move(answer)) {
        QLocalServer::removeServer(KeySignal::serverName());
        QVERIFY(m_server.listen(KeySignal::serverName()));
        connect(&m_server, &QLocalServer::newConnection, this, [this, closeAfter] {
            while (QLocalSocket* s = m_server.nextPendingConnection()) {
                if (!m_answer.isEmpty()) {
                    s->write(m_answer);
                    s->flush();
                }
                if (closeAfter)
                    s->disconnectFromServer();
            }
        });
    }

private:
    QLocalServer m_server;
    QByteArray m_answer;
};

// Restores an environment variable when it goes out of scope.
class EnvGuard {
public:
    explicit EnvGuard(const char* name)
        : m_name(name), m_set(qEnvironmentVariableIsSet(name)), m_value(qgetenv(name)) {}
    ~EnvGuard() {
        if (m_set)
            qputenv(m_name, m_value);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_set;
    QByteArray m_value;
};

// Binds a Unix socket at `path` and closes it without listening or removing
// the file: what a killed program leaves behind.
bool makeDeadSocket(const QString& path) {
    const QByteArray p = QFile::encodeName(path);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (size_t(p.size()) >= sizeof(addr.sun_path))
        return false;
    std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0;
    ::close(fd);
    return ok;
}

} // namespace

class TestKeySignal : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void keyCodes_data();
    void keyCodes();
    void socketLivesInPrivateRuntimeFolder();
    void notPrivateRuntimeFolder_data();
    void notPrivateRuntimeFolder();
    void onlyTheSameUserCanConnect();

    void sendReachesHandler_data();
    void sendReachesHandler();
    void signalBringsShownWindowToFront();
    void answerComesAfterSlowHandler();
    void inProcessSendToOtherClock();
    void noClockFailsQuicklyAndSilently_data();
    void noClockFailsQuicklyAndSilently();
    void staleSocketDoesNotStopListening_data();
    void staleSocketDoesNotStopListening();
    void secondReceiverDoesNotStealSocket();
    void clocksStartingTogetherListenOnce();
    void waitIsBounded_data();
    void waitIsBounded();
    void junkInput_data();
    void junkInput();
    void manyIdleConnections();

    void clockProgramObeysSignals();
};

void TestKeySignal::cleanup() {
    QLocalServer::removeServer(socketPath());
}

void TestKeySignal::keyCodes_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("signal");
    QTest::newRow("F1") << int(Qt::Key_F1) << 112 << false;
    QTest::newRow("F2") << int(Qt::Key_F2) << 113 << true;
    QTest::newRow("F5") << int(Qt::Key_F5) << 116 << true;
    QTest::newRow("F10") << int(Qt::Key_F10) << 121 << true;
    QTest::newRow("F11") << int(Qt::Key_F11) << 122 << false;
    QTest::newRow("F24") << int(Qt::Key_F24) << 135 << false;
    QTest::newRow("F25") << int(Qt::Key_F25) << 0 << false;
    QTest::newRow("letter q (113 in ASCII)") << int(Qt::Key_Q) << 0 << false;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << false;
}

void TestKeySignal::keyCodes() {
    QFETCH(int, qtKey);
    QFETCH(int, code);
    QFETCH(bool, signal);
    QCOMPARE(KeySignal::keyCodeFromQt(qtKey), code);
    QCOMPARE(KeySignal::isSignalKey(code), signal);
}

void TestKeySignal::socketLivesInPrivateRuntimeFolder() {
    QCOMPARE(KeySignal::serverName(), socketPath());
    Clock clock;
    QVERIFY(clock.receiver.listen());
    QVERIFY(clock.receiver.isListening());
    QVERIFY(QFileInfo::exists(socketPath()));
    QCOMPARE(folderMode(testEnv.runtimeDir()), 0700);
}

void TestKeySignal::notPrivateRuntimeFolder_data() {
    QTest::addColumn<QString>("setup");
    QTest::newRow("readable by the group") << "0750";
    QTest::newRow("readable by all") << "0755";
    QTest::newRow("writable by all") << "0777";
    QTest::newRow("owned by another user") << "nobody";
    QTest::newRow("link to a private folder") << "link";
    QTest::newRow("a file") << "file";
    QTest::newRow("missing") << "missing";
    QTest::newRow("relative path") << "relative";
}

// A runtime folder others may enter is never used: both ends fall back to a
// private folder of their own and still find each other.
void TestKeySignal::notPrivateRuntimeFolder() {
    QFETCH(QString, setup);
    EnvGuard runtimeGuard("XDG_RUNTIME_DIR");
    EnvGuard tmpGuard("TMPDIR");
    const QString base = testEnv.root() + QStringLiteral("/case-") + QString::number(qHash(setup));
    QVERIFY(QDir().mkpath(base + QStringLiteral("/tmp")));
    QString runtime = base + QStringLiteral("/run");

    if (setup.startsWith(QLatin1Char('0'))) {
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(::chmod(QFile::encodeName(runtime).constData(), mode_t(setup.toInt(nullptr, 8))) ==
                0);
    } else if (setup == QLatin1String("nobody")) {
        if (::geteuid() != 0)
            QSKIP("needs root to give a folder away");
        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody)
            QSKIP("no user nobody");
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0700) == 0);
        QVERIFY(::chown(QFile::encodeName(runtime).constData(), nobody->pw_uid, nobody->pw_gid) ==
                0);
    } else if (setup == QLatin1String("link")) {
        QVERIFY(QFile::link(testEnv.runtimeDir(), runtime));
    } else if (setup == QLatin1String("file")) {
        QFile f(runtime);
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else if (setup == QLatin1String("relative")) {
        runtime = QStringLiteral("run");
    }
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    qputenv("TMPDIR", QFile::encodeName(base + QStringLiteral("/tmp")));

    const QString own = base + QStringLiteral("/tmp/dialmere-") + QString::number(::geteuid());
    QCOMPARE(KeySignal::serverName(), own + QStringLiteral("/Dialmere"));
    QCOMPARE(folderMode(own), 0700);

    Clock clock;
    QVERIFY(clock.receiver.listen());
    const SendResult r = sendFromOtherProcess(KeySignal::F5, true, 5000);
    QVERIFY(r.finished);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(clock.keys, QList<int>{KeySignal::F5});
    QVERIFY(!QFileInfo::exists(runtime + QStringLiteral("/Dialmere")));

    // A fallback folder that is not private either: nothing listens, nothing
    // is sent.
    QVERIFY(::chmod(QFile::encodeName(own).constData(), 0755) == 0);
    QCOMPARE(KeySignal::serverName(), QString());
    Clock other;
    QVERIFY(!other.receiver.listen());
    QVERIFY(!KeySignal::send(KeySignal::F5, true, 1000));
    QCOMPARE(clock.keys, QList<int>{KeySignal::F5});
}

// The kernel keeps other users out of the private folder. The check runs in a
// child switched to user nobody, next to a socket in an open folder that
// nobody does reach (so a refusal means the folder, not a broken child).
void TestKeySignal::onlyTheSameUserCanConnect() {
    if (::geteuid() != 0)
        QSKIP("needs root to switch a child to another user");
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody)
        QSKIP("no user nobody");

    // Only the runtime folder's own mode may stand between nobody and the
    // socket: open up the folders above it for the time of the test.
    std::vector<std::pair<QByteArray, int>> opened;
    for (QString dir = testEnv.root(); dir != QLatin1String("/"); dir = QFileInfo(dir).path()) {
        const int mode = folderMode(dir);
        if ((mode & 0001) == 0) {
            opened.emplace_back(QFile::encodeName(dir), mode);
            QVERIFY(::chmod(opened.back().first.constData(), mode_t(mode | 0011)) == 0);
        }
    }
    auto restore = qScopeGuard([&] {
        for (const auto& [dir, mode] : opened)
            ::chmod(dir.constData(), mode_t(mode));
    });

    Clock clock;
    QVERIFY(clock.receiver.listen());
    const QString openFolder = testEnv.root() + QStringLiteral("/open");
    QVERIFY(QDir().mkpath(openFolder));
    QVERIFY(::chmod(QFile::encodeName(openFolder).constData(), 0777) == 0);
    QLocalServer openServer;
    openServer.setSocketOptions(QLocalServer::WorldAccessOption);
    QVERIFY(openServer.listen(openFolder + QStringLiteral("/open")));

    // Connects as nobody; the child's exit code is the errno of connect().
    const auto connectAsNobody = [&](const QString& path) {
        const QByteArray p = QFile::encodeName(path);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, p.constData(), size_t(p.size()));
        const uid_t uid = nobody->pw_uid;
        const gid_t gid = nobody->pw_gid;
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0)
                ::_exit(250);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            if (fd < 0)
                ::_exit(251);
            const int rc = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
            ::_exit(rc == 0 ? 0 : (errno & 0xff));
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    QCOMPARE(connectAsNobody(openFolder + QStringLiteral("/open")), 0);
    QCOMPARE(connectAsNobody(socketPath()), EACCES);
    QCoreApplication::processEvents();
    QVERIFY(clock.keys.isEmpty());
}

void TestKeySignal::sendReachesHandler_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("wait");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("F2, waiting") << int(KeySignal::F2) << true << false;
    QTest::newRow("F5, waiting") << int(KeySignal::F5) << true << false;
    QTest::newRow("F10, waiting") << int(KeySignal::F10) << true << false;
    QTest::newRow("F2, sender gone at once") << int(KeySignal::F2) << false << false;
    QTest::newRow("F5, hidden clock") << int(KeySignal::F5) << true << true;
}

void TestKeySignal::sendReachesHandler() {
    QFETCH(int, key);
    QFETCH(bool, wait);
    QFETCH(bool, hidden);
    Clock clock;
    if (!hidden)
        clock.window.show();
    QVERIFY(clock.receiver.listen());

    const SendResult r = sendFromOtherProcess(key, wait, 5000);
    QVERIFY(r.finished);
    QCOMPARE(r.out.left(4), QByteArray("true"));
    QCOMPARE(r.exitCode, 0);
    QTRY_COMPARE(clock.keys, QList<int>{key});
    QCOMPARE(clock.window.isVisible(), !hidden); // a hidden clock is not shown
    QCOMPARE(r.err, QByteArray());
}

void TestKeySignal::signalBringsShownWindowToFront() {
    Clock clock;
    clock.window.show();
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    QVERIFY(clock.receiver.listen());

    const SendResult r = sendFromOtherProcess(KeySignal::F5, true, 5000);
    QCOMPARE(r.exitCode, 0);
    QTRY_VERIFY(clock.window.isActiveWindow());
}

// A handler that takes its time and lets events run meanwhile (as a skin load
// waiting for DMSkinLoad does): the answer waits for it, and another key that
// comes in meanwhile is still taken.
void TestKeySignal::answerComesAfterSlowHandler() {
    QWidget window;
    QList<int> keys;
    SendResult inner;
    qint64 handlerMs = -1;
    KeySignalReceiver receiver(&window, [&](int keyCode) {
        keys << keyCode;
        if (keyCode != KeySignal::F2)
            return;
        QElapsedTimer timer;
        timer.start();
        inner = sendFromOtherProcess(KeySignal::F5, true, 5000); // runs events meanwhile
        handlerMs = timer.elapsed();
    });
    QVERIFY(receiver.listen());
    const SendResult outer = sendFromOtherProcess(KeySignal::F2, true, 10000);
    QCOMPARE(keys, (QList<int>{KeySignal::F2, KeySignal::F5}));
    QCOMPARE(inner.exitCode, 0);
    QCOMPARE(outer.exitCode, 0);
    QVERIFY2(outer.ms >= handlerMs,
             qPrintable(QStringLiteral("%1 < %2").arg(outer.ms).arg(handlerMs)));
}

void TestKeySignal::inProcessSendToOtherClock() {
    AuxClock aux;
    QVERIFY(aux.waitForLine("listening"));
    QVERIFY(KeySignal::send(KeySignal::F5, true, 5000));
    QVERIFY(aux.waitForLine("key 116 visible=1"));
    QVERIFY(KeySignal::send(KeySignal::F10, true, 5000));
    QVERIFY(aux.waitForLine("key 121 visible=1"));
    QTRY_COMPARE(aux.process().state(), QProcess::NotRunning);
    QCOMPARE(aux.process().exitCode(), 0);
    QVERIFY(!QFileInfo::exists(socketPath())); // a clock that ends removes its socket
    QVERIFY(!KeySignal::send(KeySignal::F5, true, 1000));
    // Only the three keys are sent.
    AuxClock again;
    QVERIFY(again.waitForLine("listening"));
    QVERIFY(!KeySignal::send(114, true, 1000));
    QVERIFY(!KeySignal::send(0, false, 1000));
    QVERIFY(KeySignal::send(KeySignal::F2, true, 5000));
    QVERIFY(again.waitForLine("key 113 visible=1"));
    QVERIFY(!again.output().contains("key 114"));
}

void TestKeySignal::noClockFailsQuicklyAndSilently_data() {
    QTest::addColumn<QString>("leftover");
    QTest::addColumn<QByteArray>("mode");
    QTest::newRow("nothing there") << "none" << QByteArray("send");
    QTest::newRow("dead socket") << "socket" << QByteArray("send");
    QTest::newRow("plain file") << "file" << QByteArray("send");
    QTest::newRow("no application object") << "socket" << QByteArray("send-bare");
}

void TestKeySignal::noClockFailsQuicklyAndSilently() {
    QFETCH(QString, leftover);
    QFETCH(QByteArray, mode);
    if (leftover == QLatin1String("socket")) {
        QVERIFY(makeDeadSocket(socketPath()));
    } else if (leftover == QLatin1String("file")) {
        QFile f(socketPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    for (bool wait : {true, false}) {
        const SendResult r = sendFromOtherProcess(KeySignal::F5, wait, 5000, mode.constData());
        QVERIFY(r.finished);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.ms >= 0 && r.ms < 500, r.out.constData());
        QCOMPARE(r.err, QByteArray()); // nothing said
    }
}

void TestKeySignal::staleSocketDoesNotStopListening_data() {
    QTest::addColumn<QString>("leftover");
    QTest::newRow("killed clock") << "killed";
    QTest::newRow("dead socket") << "socket";
    QTest::newRow("plain file") << "file";
    QTest::newRow("stale start lock") << "lock";
}

void TestKeySignal::staleSocketDoesNotStopListening() {
    QFETCH(QString, leftover);
    if (leftover == QLatin1String("killed")) {
        AuxClock killed;
        QVERIFY(killed.waitForLine("listening"));
        killed.process().kill();
        QVERIFY(killed.process().waitForFinished(5000));
    } else if (leftover == QLatin1String("socket")) {
        QVERIFY(makeDeadSocket(socketPath()));
    } else if (leftover == QLatin1String("file")) {
        QFile f(socketPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
    } else {
        // A lock of a process that no longer runs, as a killed clock leaves it.
        QVERIFY(makeDeadSocket(socketPath()));
        QFile f(socketPath() + QStringLiteral(".lock"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("999999999\naux_signal\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    QVERIFY(QFileInfo::exists(socketPath()) || leftover == QLatin1String("killed"));

    QElapsedTimer timer;
    timer.start();
    Clock clock;
    QVERIFY(clock.receiver.listen());
    QVERIFY(timer.elapsed() < 1500);
    const SendResult r = sendFromOtherProcess(KeySignal::F2, true, 5000);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(clock.keys, QList<int>{KeySignal::F2});
}

void TestKeySignal::secondReceiverDoesNotStealSocket() {
    AuxClock first;
    QVERIFY(first.waitForLine("listening"));
    {
        Clock second;
        QVERIFY(!second.receiver.listen());
        QVERIFY(!second.receiver.isListening());
        AuxClock third;
        QVERIFY(third.waitForLine("not listening"));
    } // the second goes away without taking the socket with it
    QVERIFY(QFileInfo::exists(socketPath()));
    QVERIFY(KeySignal::send(KeySignal::F5, true, 5000));
    QVERIFY(first.waitForLine("key 116 visible=1"));
}

void TestKeySignal::clocksStartingTogetherListenOnce() {
    std::vector<std::unique_ptr<AuxClock>> clocks;
    for (int i = 0; i < 3; ++i)
        clocks.push_back(std::make_unique<AuxClock>(true));
    int listening = 0;
    for (auto& c : clocks) {
        QVERIFY(runUntil([&] { return c->output().endsWith('\n'); }, 10000));
        listening += c->output() == "listening\n" ? 1 : 0;
    }
    QCOMPARE(listening, 1);
    QVERIFY(KeySignal::send(KeySignal::F5, true, 5000));
    int took = 0;
    for (auto& c : clocks) {
        if (c->output() == "listening\n")
            QVERIFY(c->waitForLine("key 116 visible=0"));
        took += c->output().contains("key 116") ? 1 : 0;
    }
    QCOMPARE(took, 1);
}

void TestKeySignal::waitIsBounded_data() {
    QTest::addColumn<QString>("peer");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<bool>("hangs"); // holds the sender for the whole timeout
    QTest::newRow("stopped clock") << "stopped" << QByteArray() << false << true;
    QTest::newRow("silent peer") << "fake" << QByteArray() << false << true;
    QTest::newRow("half an answer") << "fake" << QByteArray("o") << false << true;
    QTest::newRow("answer without end of line") << "fake" << QByteArray("ok") << false << true;
    QTest::newRow("refusal") << "fake" << QByteArray("no\n") << false << false;
    QTest::newRow("endless answer") << "fake" << QByteArray(4096, 'o') << false << false;
    QTest::newRow("hangs up") << "fake" << QByteArray() << true << false;
    QTest::newRow("hangs up mid-answer") << "fake" << QByteArray("ok") << true << false;
}

void TestKeySignal::waitIsBounded() {
    QFETCH(QString, peer);
    QFETCH(QByteArray, answer);
    QFETCH(bool, closes);
    QFETCH(bool, hangs);
    std::unique_ptr<AuxClock> aux;
    std::unique_ptr<FakePeer> fake;
    if (peer == QLatin1String("stopped")) {
        aux = std::make_unique<AuxClock>();
        QVERIFY(aux->waitForLine("listening"));
        QVERIFY(::kill(pid_t(aux->process().processId()), SIGSTOP) == 0);
    } else {
        fake = std::make_unique<FakePeer>(answer, closes);
    }
    const int timeoutMs = 700;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!KeySignal::send(KeySignal::F5, true, timeoutMs));
    const qint64 ms = timer.elapsed();
    QVERIFY2(ms < timeoutMs + 300, qPrintable(QString::number(ms)));
    if (hangs)
        QVERIFY2(ms >= timeoutMs - 50, qPrintable(QString::number(ms)));
    else
        QVERIFY2(ms < timeoutMs - 200, qPrintable(QString::number(ms)));

    if (aux) {
        // Once it runs again, the stopped clock still takes the key.
        QVERIFY(::kill(pid_t(aux->process().processId()), SIGCONT) == 0);
        QVERIFY(aux->waitForLine("key 116 visible=1"));
    }
}

void TestKeySignal::junkInput_data() {
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<bool>("hangUp"); // the sender leaves right after writing
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QByteArray>("answer"); // empty: dropped without an answer
    const QList<int> none;
    QTest::newRow("F2") << QByteArray("113\n") << false << QList<int>{113} << QByteArray("ok\n");
    QTest::newRow("F10, CR LF") << QByteArray("121\r\n") << false << QList<int>{121}
                                << QByteArray("ok\n");
    QTest::newRow("two keys: the first only")
        << QByteArray("113\n116\n") << false << QList<int>{113} << QByteArray("ok\n");
    QTest::newRow("other code") << QByteArray("114\n") << false << none << QByteArray("no\n");
    QTest::newRow("key name") << QByteArray("F2\n") << false << none << QByteArray("no\n");
    QTest::newRow("leading zero") << QByteArray("0113\n") << false << none << QByteArray("no\n");
    QTest::newRow("empty line") << QByteArray("\n") << false << none << QByteArray("no\n");
    QTest::newRow("NUL inside") << QByteArray("11\0"
                                              "3\n",
                                              5)
                                << false << none << QByteArray("no\n");
    QTest::newRow("not UTF-8") << QByteArray("\xff\xfe\n") << false << none << QByteArray("no\n");
    QTest::newRow("huge line") << QByteArray(1 << 20, '1') << false << none << QByteArray();
    QTest::newRow("long line ending in a key") << QByteArray(40, ' ') + "113\n"
                                               << false << none << QByteArray();
    QTest::newRow("partial line, sender gone") << QByteArray("113") << true << none << QByteArray();
    QTest::newRow("nothing, sender gone") << QByteArray() << true << none << QByteArray();
}

void TestKeySignal::junkInput() {
    QFETCH(QByteArray, input);
    QFETCH(bool, hangUp);
    QFETCH(QList<int>, keys);
    QFETCH(QByteArray, answer);
    Clock clock;
    QVERIFY(clock.receiver.listen());

    QLocalSocket sender;
    sender.connectToServer(socketPath());
    QVERIFY(sender.waitForConnected(2000));
    sender.write(input);
    QByteArray got;
    if (hangUp) {
        sender.flush();
        sender.disconnectFromServer();
        QTest::qWait(200);
    } else {
        // The clock answers and hangs up, or hangs up on a peer it cannot take.
        QVERIFY(runUntil(
            [&] {
                got += sender.readAll();
                return sender.state() == QLocalSocket::UnconnectedState;
            },
            5000));
        got += sender.readAll();
    }
    QCOMPARE(got, answer);
    QCOMPARE(clock.keys, keys);

    // The clock still takes the next key.
    const SendResult r = sendFromOtherProcess(KeySignal::F5, true, 5000);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(clock.keys, keys + QList<int>{KeySignal::F5});
}

// Peers that connect and say nothing neither pile up nor keep a sender out.
void TestKeySignal::manyIdleConnections() {
    Clock clock;
    QVERIFY(clock.receiver.listen());
    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < 100; ++i) {
        idle.push_back(std::make_unique<QLocalSocket>());
        QLocalSocket* s = idle.back().get();
        s->connectToServer(socketPath());
        // The clock runs in this process: let it take the connection.
        QVERIFY(runUntil([s] { return s->state() == QLocalSocket::ConnectedState; }, 2000));
        if (i % 2)
            s->write("11"); // a line that never ends
    }
    const auto dropped = [&] {
        int n = 0;
        for (auto& s : idle)
            n += s->state() == QLocalSocket::UnconnectedState ? 1 : 0;
        return n;
    };
    QTRY_VERIFY(dropped() >= 100 - KeySignalReceiver::MaxConnections);

    const SendResult r = sendFromOtherProcess(KeySignal::F2, true, 5000);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(clock.keys, QList<int>{KeySignal::F2});

    // The rest go after a while of silence.
    QTRY_COMPARE_WITH_TIMEOUT(dropped(), 100, KeySignalReceiver::IdleTimeoutMs + 3000);
}

// The clock program takes F5 and F2 and keeps running, then ends on F10.
void TestKeySignal::clockProgramObeysSignals() {
    const QString bin = qEnvironmentVariable("DIALMERE_BIN_DIR") + QStringLiteral("/Dialmere");
    if (!QFileInfo(bin).isExecutable())
        QSKIP("the clock program is not built");
    // A stored skin, so the clock does not start the skin browser and wait.
    const QString skinDir = testEnv.root() + QStringLiteral("/skin/");
    QVERIFY(QDir().mkpath(skinDir));
    QFile ini(skinDir + QStringLiteral("plain.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[skin]\nname=Plain\n");
    ini.close();
    QVERIFY(Store::save(Keys::Section::Skin, Keys::Skin::Type, Keys::Skin::TypeOwn));
    QVERIFY(Store::save(Keys::Section::Skin, Keys::Skin::Dir, skinDir));
    QVERIFY(Store::save(Keys::Section::Skin, Keys::Skin::Name, QStringLiteral("plain.ini")));
    QProcess clock;
    clock.start(bin, {});
    QVERIFY(clock.waitForStarted(5000));
    auto stop = qScopeGuard([&] {
        if (clock.state() != QProcess::NotRunning) {
            clock.kill();
            clock.waitForFinished(5000);
        }
    });
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socketPath()), 10000);
    QVERIFY(KeySignal::send(KeySignal::F5, true, 5000));
    QVERIFY(KeySignal::send(KeySignal::F2, false, 5000));
    QTest::qWait(100);
    QCOMPARE(clock.state(), QProcess::Running);
    QVERIFY(KeySignal::send(KeySignal::F10, true, 5000));
    QVERIFY(clock.waitForFinished(5000));
    QCOMPARE(clock.exitStatus(), QProcess::NormalExit);
    QCOMPARE(clock.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(socketPath()));
}

QTEST_MAIN(TestKeySignal)
#include "tst_keysignal.moc"
