#include "csystrayicon.h"

// Minimal body so the clock links; the full tray icon replaces it.
CSystrayIcon::CSystrayIcon(TrayBackend* backend, QObject* parent)
    : QObject(parent), m_backend(backend) {}

CSystrayIcon::~CSystrayIcon() = default;
