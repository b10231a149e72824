#pragma once

#include <QString>
#include <QWidget>

class NewVersionChecker;
class QPushButton;

// A button that appears when the version endpoint offers a newer release and opens its download page.
class NewVersionButton : public QWidget
{
    Q_OBJECT
public:
    static inline const QString DefaultStyle = QStringLiteral(
        "QPushButton { color: #000; background: #0BE; text-decoration: none; border-radius: 4px; padding: 4px 8px; } "
        "QPushButton:hover { background: #0AD}");

    explicit NewVersionButton(
        const QString& preliminaryText = QString(), const QString& style = QString(), QWidget* parent = nullptr);

    QPushButton* button() const { return m_button; }
    NewVersionChecker* checker() const { return m_checker; }
    bool hasNewVersion() const { return m_hasNewVersion; }
    void setButtonStyle(const QString& style);
    void setPreliminaryText(const QString& text);

signals:
    void onHasNewVersionChanged(bool hasNewVersion);

private:
    QPushButton* m_button = nullptr;
    NewVersionChecker* m_checker = nullptr;
    bool m_hasNewVersion = false;
    QString m_style;
};
