#include "NewVersionButton.h"

#include "NewVersionChecker.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QPushButton>
#include <QUrl>

NewVersionButton::NewVersionButton(const QString& preliminaryText, const QString& style, QWidget* parent)
    : QWidget(parent)
    , m_style(style.isEmpty() ? DefaultStyle : style)
{
    m_checker = new NewVersionChecker(preliminaryText, this);
    m_button = new QPushButton(QString(), this);
    m_button->setObjectName(QStringLiteral("newVersionButton"));
    connect(m_button, &QPushButton::clicked, this, [this] {
        const QString url = m_checker->url();
        if (!url.isEmpty())
            QDesktopServices::openUrl(QUrl(url));
    });
    m_button->setStyleSheet(m_style);
    m_button->setCursor(Qt::PointingHandCursor);
    m_button->setContentsMargins(0, 0, 0, 0);
    m_button->hide();

    setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_button);

    connect(m_checker, &NewVersionChecker::onSetText, m_button, &QPushButton::setText);
    connect(m_checker, &NewVersionChecker::onSetTooltip, m_button, &QPushButton::setToolTip);
    connect(m_checker, &NewVersionChecker::onSetVisible, this, [this](bool visible) {
        m_button->setVisible(visible);
        m_hasNewVersion = visible;
        emit onHasNewVersionChanged(visible);
    });
    m_checker->start();
}

void NewVersionButton::setButtonStyle(const QString& style)
{
    m_style = style;
    m_button->setStyleSheet(m_style);
}

void NewVersionButton::setPreliminaryText(const QString& text)
{
    m_checker->setPreliminaryText(text);
}
