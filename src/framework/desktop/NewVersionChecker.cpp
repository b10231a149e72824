#include "NewVersionChecker.h"

#include "VersionChecker.h"

#include <QCoreApplication>

NewVersionChecker::NewVersionChecker(const QString& preliminaryText, QObject* parent)
    : QObject(parent)
    , m_preliminaryText(preliminaryText)
{ }

void NewVersionChecker::start()
{
    VersionChecker* checker = VersionChecker::Instance();
    connect(checker, &VersionChecker::versionFound, this, &NewVersionChecker::update, Qt::QueuedConnection);
    if (!checker->LastVersion().valid)
        checker->StartChecking(true, 600);
    else
        update();
}

void NewVersionChecker::update()
{
    const VersionInfo last = VersionChecker::Instance()->LastVersion();
    if (last.valid) {
        m_url = last.link;
        const QString text = m_preliminaryText.isEmpty()
            ? QCoreApplication::translate("Generic", QCoreApplication::applicationName().toUtf8().constData())
                + QLatin1Char(' ')
            : m_preliminaryText;
        emit onSetText(text + last.version);
        emit onSetTooltip(tr("Click to download new version") + QLatin1Char(' ') + last.version);
    }
    emit onSetVisible(last.valid);
}
