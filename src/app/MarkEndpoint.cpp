#include "MarkEndpoint.h"

#include "BasePropertyView.h"
#include "HalvexSettings.h"
#include "LanguageContext.h"
#include "MarkServer.h"
#include "MarkToken.h"
#include "PropertyListControl.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

MarkEndpoint::MarkEndpoint(HalvexSettings* settings, MarkServer* server, const QString& dataFolder, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_server(server)
    , m_dataFolder(dataFolder)
    , m_token(MarkToken::load(dataFolder, &m_tokenError))
{
    m_server->setToken(m_token);
    m_server->setTokenRequired(m_settings->getMarkRequireToken());
    applyOrigins();
    connect(m_settings, &HalvexSettings::changedMarkRequireToken, m_server, &MarkServer::setTokenRequired);
    connect(m_settings, &HalvexSettings::changedMarkAllowedOrigins, this, &MarkEndpoint::applyOrigins);
}

void MarkEndpoint::start()
{
    applyPort();
    connect(m_settings, &HalvexSettings::changedMarkPort, this, &MarkEndpoint::applyPort);
    if (!m_tokenError.isEmpty() && m_settings->getMarkRequireToken()) {
        emit problem(trGeneric("The mark token could not be kept in %1 (%2): it changes at the next start.")
                         .arg(m_dataFolder, m_tokenError));
    }
}

void MarkEndpoint::applyPort()
{
    const int port = m_settings->getMarkPort();
    if (!m_server->listen(quint16(port))) {
        emit problem(trGeneric("Marks from other programs are off: port %1 cannot be opened (%2). Close the program "
                               "that uses it or choose another MarkPort in the settings.")
                         .arg(port)
                         .arg(m_server->errorString()));
    }
}

void MarkEndpoint::applyOrigins()
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    m_server->setAllowedOrigins(m_settings->getMarkAllowedOrigins().split(separators, Qt::SkipEmptyParts));
}

void MarkEndpoint::showTokenIn(PropertyListControl* editor) const
{
    auto* view = qobject_cast<BasePropertyView*>(editor->getWidgetInfo(QStringLiteral("MarkRequireToken")).view);
    if (!view)
        return;
    auto* field = new QLineEdit(QString::fromLatin1(m_token), view);
    field->setObjectName(QStringLiteral("markToken"));
    field->setReadOnly(true);
    field->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    field->setToolTip(view->toolTip());
    auto* copy = new QPushButton(trGeneric("Copy"), view);
    copy->setObjectName(QStringLiteral("markTokenCopy"));
    copy->setCursor(Qt::PointingHandCursor);
    const QString token = QString::fromLatin1(m_token);
    connect(copy, &QPushButton::clicked, copy, [token] { QApplication::clipboard()->setText(token); });
    view->getEditingLayout()->addWidget(field, 100);
    view->getEditingLayout()->addWidget(copy);
}
