#include "AboutWindow.h"

#include "AboutAppWidget.h"

#include <QCoreApplication>
#include <QGridLayout>

#ifndef HALVEX_ORGANISATION
#define HALVEX_ORGANISATION "Halvex"
#endif
#ifndef HALVEX_MAKER_WEBSITE
#define HALVEX_MAKER_WEBSITE ""
#endif

AboutWindow::AboutWindow(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutWindow"));
    setWindowTitle(QCoreApplication::translate("Generic", "App info"));
    const QString website = QStringLiteral(HALVEX_MAKER_WEBSITE);
    m_content = new AboutAppWidget(QStringLiteral(HALVEX_ORGANISATION),
        website.isEmpty() ? QStringList() : QStringList { website }, QString(), QString(), developers(), false, -1,
        this);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_content);
    resize(560, 420);
}

QMap<QString, QDateTime> AboutWindow::developers()
{
    const auto area = [](const char* name) { return QCoreApplication::translate("Developer", name); };
    const auto day = [](int month, int dayOfMonth) { return QDateTime(QDate(2025, month, dayOfMonth), QTime(12, 0)); };
    return { { area("Acquisition"), day(9, 1) }, { area("Interface"), day(9, 2) },
        { area("Record review"), day(9, 9) } };
}
