// The clock's icon in the notification area: keeps the icon record, its flags
// and the shown state, and sends add, modify and delete to a backend. The real
// backend is QSystemTrayIcon; tests use a fake that records what is sent.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QWidget>

// The icon record: what add, modify and delete carry.
struct NotifyIconData {
    quint32 cbSize = 0;
    QPointer<QWidget> hWnd; // receives the icon's events
    quint32 uID = 0;
    quint32 uFlags = 0; // 1 message, 2 icon, 4 tip
    quint32 uCallbackMessage = 0;
    QIcon hIcon;
    char szTip[64] = {}; // at most 63 characters, a zero, blanks up to 64
};

class TrayBackend : public QObject {
    Q_OBJECT
public:
    enum Message { Add = 0, Modify = 1, Delete = 2 };
    using QObject::QObject;
    // Carries out one request; false when refused (lastError() tells why).
    virtual bool notify(Message message, const NotifyIconData& data) = 0;
    virtual quint32 lastError() const = 0;
signals:
    // Mouse activity over the icon: 513 left press, 515 left double-click,
    // 516 right press.
    void activated(int code);
};

class CSystrayIcon : public QObject {
    Q_OBJECT
public:
    // Without a backend the real one (QSystemTrayIcon) is made. The object
    // takes ownership of the backend.
    explicit CSystrayIcon(TrayBackend* backend = nullptr, QObject* parent = nullptr);
    ~CSystrayIcon() override; // hides the icon

    void Initialize(QWidget* hWnd, const QIcon& hIcon, const QString& sTip,
                    quint32 uCallbackMessage);
    bool ShowIcon();
    bool HideIcon();

    QIcon IconHandle() const;
    void setIconHandle(const QIcon& hIcon);
    QString TipText() const;
    void setTipText(const QString& sTip);
    quint32 CallbackMessage() const;
    void setCallbackMessage(quint32 uCallbackMessage);
    bool Update();
    bool UpdateOnChange() const;
    void setUpdateOnChange(bool bUpdate);
    bool Visible() const;
    void setVisible(bool bVisible);

    const NotifyIconData& record() const { return m_data; }
    TrayBackend* backend() const { return m_backend; }

signals:
    void NIError(quint32 ErrorNumber);
    // The backend's mouse codes, passed on for the clock window.
    void trayEvent(int code);

private:
    NotifyIconData m_data;
    bool m_iconShown = false;
    bool m_updateOnChange = true;
    TrayBackend* m_backend = nullptr;
};
