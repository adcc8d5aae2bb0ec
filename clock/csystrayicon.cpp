#include "csystrayicon.h"

#include <QSystemTrayIcon>

// ---- the record ----

QString NotifyIconData::tipField(const QString& tip) {
    QString field = tip.left(TipMax);
    field += QChar(0);
    return field.leftJustified(TipField, QLatin1Char(' '));
}

QString NotifyIconData::tipText() const {
    const qsizetype end = szTip.indexOf(QChar(0));
    return end < 0 ? szTip.left(TipMax) : szTip.left(end);
}

// ---- the real backend ----

int QtTrayBackend::codeFor(int activationReason) {
    switch (activationReason) {
    case QSystemTrayIcon::Trigger:
        return CSystrayIcon::LeftDown;
    case QSystemTrayIcon::DoubleClick:
        return CSystrayIcon::LeftDoubleClick;
    case QSystemTrayIcon::Context:
        return CSystrayIcon::RightDown;
    case QSystemTrayIcon::MiddleClick:
        return 519; // middle button down: nobody acts on it
    default:
        return 0;
    }
}

bool QtTrayBackend::notify(Message message, const NotifyIconData& data) {
    if (message == Delete) {
        // Taking the icon away always works, also when the tray has gone.
        if (m_icon)
            m_icon->hide();
        m_lastError = 0;
        return true;
    }
    // Without a notification area QSystemTrayIcon::show() still claims success
    // while nothing appears: that is a refusal.
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        m_lastError = ErrorNoTray;
        return false;
    }
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (const int code = codeFor(reason))
                        emit activated(code);
                });
    }
    if (data.uFlags & NotifyIconData::FlagIcon)
        m_icon->setIcon(data.hIcon);
    if (data.uFlags & NotifyIconData::FlagTip)
        m_icon->setToolTip(data.tipText());
    if (message == Add)
        m_icon->show();
    m_lastError = 0;
    return true;
}

// ---- CSystrayIcon ----

namespace {
std::function<TrayBackend*()>& backendFactory() {
    static std::function<TrayBackend*()> factory;
    return factory;
}
} // namespace

void CSystrayIcon::setBackendFactory(std::function<TrayBackend*()> factory) {
    backendFactory() = std::move(factory);
}

CSystrayIcon::CSystrayIcon(TrayBackend* backend, QObject* parent)
    : QObject(parent), m_backend(backend) {
    if (!m_backend)
        m_backend = backendFactory() ? backendFactory()() : nullptr;
    if (!m_backend)
        m_backend = new QtTrayBackend;
    m_backend->setParent(this);
    connect(m_backend, &TrayBackend::activated, this, &CSystrayIcon::trayEvent);
}

CSystrayIcon::~CSystrayIcon() {
    HideIcon();
}

void CSystrayIcon::Initialize(QWidget* hWnd, const QIcon& hIcon, const QString& sTip,
                              quint32 uCallbackMessage) {
    m_data.cbSize = 88;
    m_data.hIcon = hIcon;
    m_data.hWnd = hWnd;
    m_data.szTip = NotifyIconData::tipField(sTip);
    m_data.uCallbackMessage = uCallbackMessage;
    m_data.uFlags = NotifyIconData::FlagAll;
    m_data.uID = 1;
    m_iconShown = false;
    m_updateOnChange = true;
}

bool CSystrayIcon::send(TrayBackend::Message message) {
    const bool accepted = m_backend->notify(message, m_data);
    if (!accepted)
        emit NIError(m_backend->lastError());
    return accepted;
}

bool CSystrayIcon::ShowIcon() {
    if (m_iconShown)
        return false;
    const bool accepted = send(TrayBackend::Add);
    if (accepted)
        m_iconShown = true;
    return accepted;
}

bool CSystrayIcon::HideIcon() {
    if (!m_iconShown)
        return false;
    const bool accepted = send(TrayBackend::Delete);
    if (accepted)
        m_iconShown = false;
    return accepted;
}

bool CSystrayIcon::Update() {
    if (!m_iconShown)
        return false;
    return send(TrayBackend::Modify);
}

void CSystrayIcon::changed(quint32 flag) {
    if (!m_updateOnChange)
        return;
    m_data.uFlags = flag;
    Update();
    m_data.uFlags = NotifyIconData::FlagAll;
}

QIcon CSystrayIcon::IconHandle() const {
    return m_data.hIcon;
}

void CSystrayIcon::setIconHandle(const QIcon& hIcon) {
    m_data.hIcon = hIcon;
    changed(NotifyIconData::FlagIcon);
}

QString CSystrayIcon::TipText() const {
    return m_data.tipText();
}

void CSystrayIcon::setTipText(const QString& sTip) {
    m_data.szTip = NotifyIconData::tipField(sTip);
    changed(NotifyIconData::FlagTip);
}

quint32 CSystrayIcon::CallbackMessage() const {
    return m_data.uCallbackMessage;
}

void CSystrayIcon::setCallbackMessage(quint32 uCallbackMessage) {
    m_data.uCallbackMessage = uCallbackMessage;
    changed(NotifyIconData::FlagMessage);
}

bool CSystrayIcon::UpdateOnChange() const {
    return m_updateOnChange;
}
void CSystrayIcon::setUpdateOnChange(bool bUpdate) {
    m_updateOnChange = bUpdate;
}

bool CSystrayIcon::Visible() const {
    return m_iconShown;
}

void CSystrayIcon::setVisible(bool bVisible) {
    if (bVisible)
        ShowIcon();
    else
        HideIcon();
}
