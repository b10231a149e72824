#pragma once

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QWidget>

class QGridLayout;
class QLabel;
class QPushButton;

// The about window's content: buttons for the manual, the web API, the change log and the update, then the version,
// the system, optionally the network addresses, the maker's contacts and the developers. The change log opens in a
// panel laid over the content.
class AboutAppWidget : public QWidget
{
    Q_OBJECT
public:
    // The maker's contacts, fixed at build time; an empty one is left out.
    static QString MakerAddress;
    static QString MakerPhone;
    static QString MakerEmail;

    explicit AboutAppWidget(const QString& organisationName, const QStringList& links, const QString& manualUrl,
        const QString& apiUrl, const QMap<QString, QDateTime>& developers, bool showNetworkAddresses, int port,
        QWidget* parent = nullptr);

    // A PDF manual beside the executable (preferring the interface language), else one below it, else manualUrl.
    static QString findManual(const QString& manualUrl);
    // The IPv4 addresses of the running interfaces other than loopback, each with ":port" when port is above 1.
    static QStringList networkAddresses(int port);
    static QString developersText(const QMap<QString, QDateTime>& developers, const QDate& today);

    // Lays a new change-log panel over the content; it goes when its close button is clicked.
    QWidget* openChangeLog();

private:
    void addRow(const QString& caption, QWidget* value, const QString& objectName);
    QLabel* valueLabel(const QString& text);
    QWidget* buttonRow(const QString& manualUrl, const QString& apiUrl);
    QWidget* addressesWidget(int port);
    QWidget* feedbackWidget(const QString& organisationName, const QStringList& links);

    QWidget* m_content = nullptr;
    QGridLayout* m_grid = nullptr;
    int m_rows = 0;
};
