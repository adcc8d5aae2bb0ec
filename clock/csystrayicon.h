// The clock's icon in the notification area: keeps the icon record, its flags
// and the shown state, and sends add, modify and delete to a backend. The real
// backend is QSystemTrayIcon; tests use a fake that records what is sent.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>

class QSystemTrayIcon;

// The icon record: what add, modify and delete carry.
struct NotifyIconData {
    enum Flag : quint32 { FlagMessage = 1, FlagIcon = 2, FlagTip = 4, FlagAll = 7 };
    static constexpr int TipField = 64; // characters in szTip, the zero included
    static constexpr int TipMax = TipField - 1;

    quint32 cbSize = 0;
    QPointer<QWidget> hWnd; // receives the icon's events
    quint32 uID = 0;
    quint32 uFlags = 0; // which of the next three fields are valid
    quint32 uCallbackMessage = 0;
    QIcon hIcon;
    // The tip field: at most 63 characters, a zero character, blanks up to 64.
    QString szTip;

    // The field for `tip`: cut to 63 characters, zero-terminated, blank-filled.
    static QString tipField(const QString& tip);
    // The text of the field: everything before its zero character.
    QString tipText() const;
};

class TrayBackend : public QObject {
    Q_OBJECT
public:
    enum Message { Add = 0, Modify = 1, Delete = 2 };
    // lastError() after a refusal because the desktop has no notification area.
    static constexpr quint32 ErrorNoTray = 1;

    using QObject::QObject;
    // Carries out one request; false when refused (lastError() tells why).
    virtual bool notify(Message message, const NotifyIconData& data) = 0;
    virtual quint32 lastError() const = 0;
signals:
    // Mouse activity over the icon: 513 left press, 515 left double-click,
    // 516 right press.
    void activated(int code);
};

// The real backend: one QSystemTrayIcon, made at the first add.
class QtTrayBackend : public TrayBackend {
    Q_OBJECT
public:
    using TrayBackend::TrayBackend;
    bool notify(Message message, const NotifyIconData& data) override;
    quint32 lastError() const override { return m_lastError; }

    // The mouse code of a QSystemTrayIcon activation (0 for none we pass on).
    static int codeFor(int activationReason);

private:
    QSystemTrayIcon* m_icon = nullptr;
    quint32 m_lastError = 0;
};

class CSystrayIcon : public QObject {
    Q_OBJECT
public:
    // Codes of mouse activity over the icon, as trayEvent() passes them on.
    enum Code { MouseMove = 512, LeftDown = 513, LeftDoubleClick = 515, RightDown = 516 };

    // Without a backend the default one is made (QSystemTrayIcon unless a test
    // installed another factory). The object takes ownership of the backend.
    explicit CSystrayIcon(TrayBackend* backend = nullptr, QObject* parent = nullptr);
    ~CSystrayIcon() override; // hides the icon

    // Tests install a factory for the backend of every object made without
    // one (the clock window's own icon included); an empty one restores the real.
    static void setBackendFactory(std::function<TrayBackend*()> factory);

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
    // Sends one request; a refusal raises NIError and changes nothing.
    bool send(TrayBackend::Message message);
    // A property write: the one field's flag while it is passed on.
    void changed(quint32 flag);

    NotifyIconData m_data;
    bool m_iconShown = false;
    bool m_updateOnChange = true;
    TrayBackend* m_backend = nullptr;
};
