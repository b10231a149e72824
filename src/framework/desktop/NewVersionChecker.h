#pragma once

#include <QObject>
#include <QString>

// Turns the version checker's last answer into what one new-version button shows.
class NewVersionChecker : public QObject
{
    Q_OBJECT
public:
    explicit NewVersionChecker(const QString& preliminaryText = QString(), QObject* parent = nullptr);

    void start();
    void setPreliminaryText(const QString& text) { m_preliminaryText = text; }
    QString url() const { return m_url; }

signals:
    void onSetText(const QString& text);
    void onSetTooltip(const QString& tooltip);
    void onSetVisible(bool visible);
    void newVersion();

private:
    void update();

    QString m_preliminaryText;
    QString m_url;
};
