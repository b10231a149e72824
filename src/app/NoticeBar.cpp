#include "NoticeBar.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

NoticeBar::NoticeBar(QWidget* parent)
    : QWidget(parent)
    , m_text(new QLabel(this))
    , m_action(new QPushButton(this))
    , m_close(new QPushButton(QStringLiteral("×"), this))
    , m_hideTimer(new QTimer(this))
{
    setAttribute(Qt::WA_StyledBackground);
    m_text->setObjectName(QStringLiteral("noticeText"));
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_action->setObjectName(QStringLiteral("noticeAction"));
    m_action->setCursor(Qt::PointingHandCursor);
    m_close->setObjectName(QStringLiteral("noticeClose"));
    m_close->setFlat(true);
    m_close->setFixedSize(24, 24);
    m_close->setCursor(Qt::PointingHandCursor);
    m_close->setToolTip(QCoreApplication::translate("Generic", "Close"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 2, 4, 2);
    row->setSpacing(8);
    row->addWidget(m_text, 100);
    row->addWidget(m_action);
    row->addWidget(m_close);

    m_hideTimer->setSingleShot(true);
    connect(m_hideTimer, &QTimer::timeout, this, &QWidget::hide);
    connect(m_close, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_action, &QPushButton::clicked, this, [this]() {
        if (m_onAction)
            m_onAction();
    });
    hide();
}

void NoticeBar::showNotice(
    Kind kind, const QString& text, const QString& actionText, std::function<void()> action, int hideAfterMs)
{
    m_kind = kind;
    // Fixed colours with a dark text on a light ground read the same under either theme.
    setStyleSheet(kind == Warning
            ? QStringLiteral("NoticeBar { background: #FFCC00; } NoticeBar QLabel, NoticeBar QPushButton#noticeClose "
                             "{ color: #303030; background: transparent; border: none; }")
            : QStringLiteral("NoticeBar { background: #CDEBD0; } NoticeBar QLabel, NoticeBar QPushButton#noticeClose "
                             "{ color: #1B3D1F; background: transparent; border: none; }"));
    m_text->setText(text);
    m_action->setText(actionText);
    m_action->setVisible(!actionText.isEmpty());
    m_onAction = std::move(action);
    if (hideAfterMs > 0)
        m_hideTimer->start(hideAfterMs);
    else
        m_hideTimer->stop();
    show();
}

QString NoticeBar::text() const
{
    return m_text->text();
}
