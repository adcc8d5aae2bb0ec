#include "keysignal.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int MaxReplyBytes = 16;
// How long a starting clock waits for the answer of one that may already run.
constexpr int ProbeTimeoutMs = 1000;
// How long a starting clock waits for another one that is starting right now.
constexpr int StartLockTimeoutMs = 2000;

#ifdef Q_OS_UNIX
// Only the user may reach the socket: a real directory (not a link) of the
// user's own that nobody else can enter or list.
bool isPrivateFolder(const QString& path) {
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return false;
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 0777) == 0700;
}
#endif

QString runtimeFolder() {
#ifdef Q_OS_UNIX
    // Asking QStandardPaths only once the folder has passed our own test keeps
    // it from printing warnings on a desktop that set the folder up badly.
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && isPrivateFolder(QFile::decodeName(xdg))) {
        const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        if (isPrivateFolder(dir))
            return dir;
    }
    // No usable runtime folder: one of our own in the temporary folder. A
    // folder of that name that is not ours and private is never used.
    const QString own =
        QDir::tempPath() + QLatin1String("/dialmere-") + QString::number(::geteuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return isPrivateFolder(own) ? own : QString();
#else
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#endif
}

int keyFromLine(const QByteArray& line) {
    for (int key : {KeySignal::F2, KeySignal::F5, KeySignal::F10}) {
        if (line == QByteArray::number(key))
            return key;
    }
    return 0;
}

// Waits until `done` holds or the deadline passes, waking on any news from the
// socket. Paint and timer events of the caller run meanwhile; user input is
// held back, so a dialog cannot be used (or closed) under its own feet.
template <typename Done>
bool waitUntil(QLocalSocket& socket, const QDeadlineTimer& deadline, Done done) {
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        const int ms = int(qMax<qint64>(1, deadline.remainingTime()));
        if (QCoreApplication::instance()) {
            QEventLoop loop;
            const auto wake = [&loop] { loop.quit(); };
            QObject::connect(&socket, &QLocalSocket::connected, &loop, wake);
            QObject::connect(&socket, &QLocalSocket::disconnected, &loop, wake);
            QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, wake);
            QObject::connect(&socket, &QLocalSocket::readyRead, &loop, wake);
            QObject::connect(&socket, &QLocalSocket::bytesWritten, &loop, wake);
            QTimer::singleShot(ms, &loop, wake);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        } else if (socket.state() == QLocalSocket::ConnectingState) {
            socket.waitForConnected(ms);
        } else if (socket.bytesToWrite() > 0) {
            socket.waitForBytesWritten(ms);
        } else {
            socket.waitForReadyRead(ms);
        }
    }
    return true;
}

} // namespace

namespace KeySignal {

bool isSignalKey(int keyCode) {
    return keyCode == F2 || keyCode == F5 || keyCode == F10;
}

int keyCodeFromQt(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    return 0;
}

QString serverName() {
    const QString folder = runtimeFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1String("/Dialmere");
}

bool send(int keyCode, bool wait, int timeoutMs) {
    if (!isSignalKey(keyCode))
        return false;
    const QString name = serverName();
    if (name.isEmpty())
        return false;
    const QDeadlineTimer deadline(qMax(0, timeoutMs));

    QLocalSocket socket;
    socket.connectToServer(name);
    waitUntil(socket, deadline, [&] { return socket.state() != QLocalSocket::ConnectingState; });
    if (socket.state() != QLocalSocket::ConnectedState)
        return false;

    const QByteArray line = QByteArray::number(keyCode) + '\n';
    if (socket.write(line) != line.size())
        return false;
    socket.flush();
    const bool written = waitUntil(socket, deadline, [&] {
        return socket.bytesToWrite() == 0 || socket.state() != QLocalSocket::ConnectedState;
    });
    if (!written || socket.bytesToWrite() > 0)
        return false;
    if (!wait) {
        socket.disconnectFromServer();
        return true;
    }

    // The whole reply line, however it is cut into pieces on the way.
    QByteArray reply;
    waitUntil(socket, deadline, [&] {
        reply += socket.read(MaxReplyBytes - reply.size());
        return reply.contains('\n') || reply.size() >= MaxReplyBytes ||
               socket.state() != QLocalSocket::ConnectedState;
    });
    reply += socket.read(MaxReplyBytes - reply.size());
    const int end = reply.indexOf('\n');
    socket.abort();
    return end >= 0 && reply.left(end).trimmed() == "ok";
}

} // namespace KeySignal

KeySignalReceiver::KeySignalReceiver(QWidget* window, Handler keyDown, QObject* parent)
    : QObject(parent), m_window(window), m_keyDown(std::move(keyDown)) {}

KeySignalReceiver::~KeySignalReceiver() {
    // Closing the server removes the socket file; its connections go with it
    // while the lists they are kept in still exist.
    delete m_server;
}

bool KeySignalReceiver::listen() {
    if (isListening())
        return true;
    const QString name = KeySignal::serverName();
    if (name.isEmpty())
        return false;

    // Two clocks starting at the same moment must not both find the socket
    // stale and take it from each other. Without the lock after the wait we go
    // on anyway: a start is never refused for it.
    QLockFile lock(name + QLatin1String(".lock"));
    lock.tryLock(StartLockTimeoutMs);

    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(ProbeTimeoutMs)) {
        probe.abort();
        return false; // a live clock takes the signals
    }
    // Only a missing socket or one nobody listens on (a killed clock's) is
    // taken over; anything we cannot judge is left alone.
    if (probe.error() != QLocalSocket::ServerNotFoundError &&
        probe.error() != QLocalSocket::ConnectionRefusedError)
        return false;

    QLocalServer::removeServer(name);
    auto* server = new QLocalServer(this);
    connect(server, &QLocalServer::newConnection, this, &KeySignalReceiver::onNewConnection);
    if (!server->listen(name)) {
        delete server;
        return false;
    }
    m_server = server;
    return true;
}

bool KeySignalReceiver::isListening() const {
    return m_server && m_server->isListening();
}

void KeySignalReceiver::onNewConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        // Make room by dropping the oldest peer that has not sent its line.
        if (m_connections.size() >= MaxConnections) {
            QLocalSocket* oldest = nullptr;
            for (QLocalSocket* s : std::as_const(m_connections)) {
                if (!m_answering.contains(s)) {
                    oldest = s;
                    break;
                }
            }
            if (!oldest) {
                socket->abort();
                socket->deleteLater();
                continue;
            }
            drop(oldest);
        }
        m_connections.append(socket);
        socket->setReadBufferSize(MaxLineBytes);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] { drop(socket); });
        connect(socket, &QObject::destroyed, this, [this, socket] {
            m_connections.removeOne(socket);
            m_answering.remove(socket);
        });
        QTimer::singleShot(IdleTimeoutMs, socket, [this, socket] {
            if (!m_answering.contains(socket))
                drop(socket);
        });
    }
}

void KeySignalReceiver::readRequest(QLocalSocket* socket) {
    if (m_answering.contains(socket)) {
        socket->skip(socket->bytesAvailable()); // one key per connection
        return;
    }
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() >= MaxLineBytes)
            drop(socket); // longer than any key: not a sender of ours
        return;
    }
    const QByteArray line = socket->readLine(MaxLineBytes + 1).trimmed();
    m_answering.insert(socket);

    const int key = keyFromLine(line);
    if (key) {
        if (m_window && m_window->isVisible()) {
            m_window->raise();
            m_window->activateWindow();
        }
        // The handler may run events (or end the clock): the receiver and the
        // connection may be gone when it returns.
        const QPointer<KeySignalReceiver> self(this);
        const QPointer<QLocalSocket> guard(socket);
        if (m_keyDown)
            m_keyDown(key);
        if (!self || !guard)
            return;
    }
    if (socket->state() != QLocalSocket::ConnectedState)
        return; // the sender did not wait for the answer
    socket->write(key ? "ok\n" : "no\n");
    socket->flush();
    socket->disconnectFromServer();
}

void KeySignalReceiver::drop(QLocalSocket* socket) {
    if (!m_connections.removeOne(socket))
        return;
    m_answering.remove(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}
