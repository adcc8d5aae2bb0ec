// Key signals: a module that stored new values tells the running clock to pick
// them up by sending it one function key (F2 skin, F5 settings, F10 quit).
//
// Transport: a local socket "Dialmere" in the user's runtime folder, which must
// be private to the user (a directory of the user's own, mode 0700), so only
// the same user can reach the clock. A sender connects and writes the key code
// as one line ("113\n"); the clock brings its window to the front, runs its
// key-down handler and answers "ok\n" (any other line gets "no\n"). One key per
// connection.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>

class QLocalServer;
class QLocalSocket;
class QWidget;

namespace KeySignal {

enum Key { F2 = 113, F5 = 116, F10 = 121 };

// Whether `keyCode` is one of the three keys above.
bool isSignalKey(int keyCode);

// The key code a key-down handler gets for a Qt key: F1..F24 become 112..135,
// every other key 0. The one place where Qt's key names meet our codes.
int keyCodeFromQt(int qtKey);

// Full name (path) of the clock's socket for this user: <runtime folder>/Dialmere.
// The runtime folder is QStandardPaths::RuntimeLocation when it is private;
// otherwise a private folder "dialmere-<uid>" in the temporary folder, created
// with mode 0700. Empty when no private folder can be had (then nothing is
// sent and nothing listens).
QString serverName();

// Sends one key to the running clock. With `wait`, returns only once the clock
// has answered that it took the key, or after `timeoutMs`. Returns whether the
// clock took the key (without `wait`: whether it was handed over). No clock
// listening is not an error the user sees: the values are already stored, so
// this returns false at once and says nothing. While it waits, paint and timer
// events of the caller keep running; user input waits until it returns.
bool send(int keyCode, bool wait, int timeoutMs = 3000);

} // namespace KeySignal

// Owned by the clock: listens for key signals, brings the clock window to the
// front (when it is shown; a hidden window stays hidden) and calls the same
// key-down handler that real key presses reach, then answers the sender.
class KeySignalReceiver : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int keyCode)>;
    KeySignalReceiver(QWidget* window, Handler keyDown, QObject* parent = nullptr);
    ~KeySignalReceiver() override;

    // Starts listening unless another live clock already does (then returns
    // false and the clock runs without listening). A stale socket file left by
    // a killed clock is removed first.
    bool listen();
    bool isListening() const;

    // Limits against a misbehaving peer: the longest request line buffered, the
    // most connections held at once (the oldest is dropped for a new one), and
    // how long a connection may stay without a complete line.
    static constexpr int MaxLineBytes = 32;
    static constexpr int MaxConnections = 16;
    static constexpr int IdleTimeoutMs = 5000;

private:
    void onNewConnection();
    void readRequest(QLocalSocket* socket);
    void drop(QLocalSocket* socket);

    QPointer<QWidget> m_window;
    Handler m_keyDown;
    QLocalServer* m_server = nullptr;
    QList<QLocalSocket*> m_connections; // oldest first; each one a child of m_server
    QSet<QLocalSocket*> m_answering;    // sent their line; the handler runs or ran
};
