#pragma once

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QUrl>

// Takes the place of the desktop's handler for web, mail and file addresses while it lives:
// QDesktopServices::openUrl() then records the address here instead of starting a browser or a mail program.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    explicit UrlCatcher(QObject* parent = nullptr)
        : QObject(parent)
    {
        for (const char* scheme : Schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlCatcher() override
    {
        for (const char* scheme : Schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }

    QList<QUrl> urls() const { return m_urls; }

public slots:
    void open(const QUrl& url) { m_urls.append(url); }

private:
    static constexpr const char* Schemes[] = { "http", "https", "mailto", "file" };
    QList<QUrl> m_urls;
};
