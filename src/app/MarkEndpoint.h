#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class HalvexSettings;
class MarkServer;
class PropertyListControl;

// Keeps the mark endpoint in step with the settings (its port, the web pages allowed to use it, whether it asks for
// the token) and holds the token, made on the first start and kept in the data folder.
class MarkEndpoint : public QObject
{
    Q_OBJECT
public:
    MarkEndpoint(HalvexSettings* settings, MarkServer* server, const QString& dataFolder, QObject* parent = nullptr);

    // Opens the port of the settings and follows its changes.
    void start();
    const QByteArray& token() const { return m_token; }
    // Shows the token, with a button that copies it, beside the MarkRequireToken setting of an editor.
    void showTokenIn(PropertyListControl* editor) const;

signals:
    // The port cannot be opened or the token not kept; the text says what to do.
    void problem(const QString& message);

private:
    void applyPort();
    void applyOrigins();

    HalvexSettings* m_settings;
    MarkServer* m_server;
    QString m_dataFolder;
    QByteArray m_token;
    QString m_tokenError;
};
