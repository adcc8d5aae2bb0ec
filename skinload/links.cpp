#include "links.h"

#include <QDesktopServices>
#include <QUrlQuery>

namespace {

class RealOpener : public Links::Opener {
public:
    bool open(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

RealOpener realOpener;
Links::Opener* currentOpener = &realOpener;

} // namespace

namespace Links {

Opener& opener() {
    return *currentOpener;
}

void setOpener(Opener* fake) {
    currentOpener = fake ? fake : &realOpener;
}

QUrl safeLinkUrl(const QString& target) {
    QString text = target.trimmed();
    if (text.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        text.prepend(QLatin1String("http://"));
    QUrl url(text);
    if (!url.isValid() || url.isRelative())
        return QUrl();
    const QString scheme = url.scheme(); // QUrl keeps schemes in lower case
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        if (url.host().isEmpty())
            return QUrl();
        return url;
    }
    if (scheme == QLatin1String("mailto")) {
        if (url.hasQuery()) {
            // Compare the keys as a mail program reads them: decoded, any case.
            QStringList kept;
            const auto items = QUrlQuery(url).queryItems(QUrl::FullyEncoded);
            for (const auto& item : items) {
                const QString key =
                    QUrl::fromPercentEncoding(item.first.toUtf8()).trimmed().toLower();
                if (key != QLatin1String("attach") && key != QLatin1String("attachment"))
                    kept.append(item.first + QLatin1Char('=') + item.second);
            }
            url.setQuery(kept.isEmpty() ? QString() : kept.join(QLatin1Char('&')));
        }
        return url;
    }
    return QUrl();
}

bool openLink(const QString& target) {
    const QUrl url = safeLinkUrl(target);
    if (url.isEmpty())
        return false;
    return opener().open(url);
}

} // namespace Links
