#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;

// A line of news under the tool bar: a text, an optional action button and a close button. Warnings stay until
// closed or replaced; news can go away by itself after a while. The colours are the same in both themes, so that
// either kind stands out from the tool bar.
class NoticeBar : public QWidget
{
    Q_OBJECT
public:
    enum Kind { Info, Warning };

    explicit NoticeBar(QWidget* parent = nullptr);

    // Replaces what the bar shows. An empty action text shows no action button; hideAfterMs 0 keeps the notice.
    void showNotice(Kind kind, const QString& text, const QString& actionText = QString(),
        std::function<void()> action = {}, int hideAfterMs = 0);
    QString text() const;
    Kind kind() const { return m_kind; }
    QPushButton* actionButton() const { return m_action; }

private:
    Kind m_kind = Info;
    QLabel* m_text = nullptr;
    QPushButton* m_action = nullptr;
    QPushButton* m_close = nullptr;
    QTimer* m_hideTimer = nullptr;
    std::function<void()> m_onAction;
};
