// Key signals: a module that stored new values tells the running clock to pick
// them up by sending it one function key (F2 skin, F5 settings, F10 quit).
// Transport: a local socket "Dialmere" in the user's runtime folder.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QLocalServer;
class QWidget;

namespace KeySignal {

enum Key { F2 = 113, F5 = 116, F10 = 121 };

// Full name of the clock's socket for this user.
QString serverName();

// Sends one key to the running clock. With `wait`, returns only once the clock
// has answered that it took the key, or after `timeoutMs`. Returns whether the
// clock took the key (without `wait`: whether it was handed over). No clock
// listening is not an error the user sees: the values are already stored.
bool send(int keyCode, bool wait, int timeoutMs = 3000);

} // namespace KeySignal

// Owned by the clock: listens for key signals, brings the clock window to the
// front and calls the same key-down handler that real key presses reach.
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

private:
    void onNewConnection();

    QPointer<QWidget> m_window;
    Handler m_keyDown;
    QLocalServer* m_server = nullptr;
};
