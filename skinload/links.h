// Opening the addresses a skin names in its e-mail and web labels. A skin is a
// stranger's file, so only web pages (http, https) and mail addresses (mailto)
// are ever handed to the desktop; a program path, a local file or any other
// scheme is refused. Tests install a fake opener to see what would be opened.
#pragma once

#include <QString>
#include <QUrl>

namespace Links {

class Opener {
public:
    virtual ~Opener() = default;
    // Asks the desktop to open `url` with its default program. The outcome is
    // not looked at by the callers.
    virtual bool open(const QUrl& url) = 0;
};

Opener& opener();
// Tests install a fake; nullptr puts the real one (QDesktopServices) back. The
// caller keeps ownership.
void setOpener(Opener* fake);

// The address a link label's target stands for, or an empty QUrl when it must
// not be opened. Allowed: http and https with a host, and mailto. A target
// that starts with "www." means an http page, as desktops have always taken
// it. Attachment requests of a mailto address are dropped, so a click can
// never attach one of the user's files to a mail.
QUrl safeLinkUrl(const QString& target);

// Opens `target` when safeLinkUrl allows it; false when it was refused or the
// desktop could not open it.
bool openLink(const QString& target);

} // namespace Links
