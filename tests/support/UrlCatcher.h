#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Takes the place of the desktop's handler for the schemes while it lives: QDesktopServices::openUrl() then
// records the address here instead of starting a browser or a mail program.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    explicit UrlCatcher(const QStringList& schemes
        = { QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("mailto"), QStringLiteral("file") },
        QObject* parent = nullptr);
    ~UrlCatcher() override;

    QList<QUrl> urls() const { return m_urls; }

public slots:
    void open(const QUrl& url) { m_urls.append(url); }

private:
    QStringList m_schemes;
    QList<QUrl> m_urls;
};
