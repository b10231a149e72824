#include "AboutAppWidget.h"

#include "AppHelper.h"
#include "LanguageContext.h"
#include "MenuButton.h"
#include "NScrollViewer.h"
#include "NewVersionButton.h"
#include "StyleHelper.h"
#include "UIHelper.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QNetworkInterface>
#include <QPushButton>
#include <QSysInfo>
#include <QUrl>
#include <QVBoxLayout>

#ifndef HALVEX_MAKER_ADDRESS
#define HALVEX_MAKER_ADDRESS ""
#endif
#ifndef HALVEX_MAKER_PHONE
#define HALVEX_MAKER_PHONE ""
#endif
#ifndef HALVEX_MAKER_EMAIL
#define HALVEX_MAKER_EMAIL ""
#endif

QString AboutAppWidget::MakerAddress = QStringLiteral(HALVEX_MAKER_ADDRESS);
QString AboutAppWidget::MakerPhone = QStringLiteral(HALVEX_MAKER_PHONE);
QString AboutAppWidget::MakerEmail = QStringLiteral(HALVEX_MAKER_EMAIL);

namespace {
const char* const kGreySpan = " <span style=\"color: #789\">(";

QPushButton* styledButton(const QString& text, const QString& objectName, const QString& background,
    const QString& hover, const QString& color, const QString& tooltip)
{
    auto* button = new QPushButton(text);
    button->setObjectName(objectName);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(tooltip);
    button->setStyleSheet(
        QStringLiteral("QPushButton { color: %1; background: %2; text-decoration: none; "
                       "border-radius: 4px; padding: 4px 8px; } QPushButton:hover { background: %3; }")
            .arg(color, background, hover));
    return button;
}

void openAddress(const QString& address)
{
    const QFileInfo file(address);
    QDesktopServices::openUrl(file.isAbsolute() && file.exists() ? QUrl::fromLocalFile(address) : QUrl(address));
}
} // namespace

AboutAppWidget::AboutAppWidget(const QString& organisationName, const QStringList& links, const QString& manualUrl,
    const QString& apiUrl, const QMap<QString, QDateTime>& developers, bool showNetworkAddresses, int port,
    QWidget* parent)
    : QWidget(parent)
{
    setContentsMargins(0, 0, 0, 0);
    auto* outer = new QGridLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* viewer = new NScrollViewer(Qt::Vertical, this);
    viewer->setTransparentBackground(true);
    outer->addWidget(viewer);

    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("aboutContent"));
    m_content->setContentsMargins(0, 8, 0, 0);
    m_grid = new QGridLayout(m_content);
    m_grid->setColumnStretch(1, 100);
    m_grid->setSpacing(16);
    m_grid->setContentsMargins(8, 0, 8, 8);
    viewer->add(m_content);

    m_grid->addWidget(buttonRow(manualUrl, apiUrl), m_rows++, 1, Qt::AlignTop);

    const QString built = QFileInfo(QCoreApplication::applicationFilePath()).lastModified().toString("yyyy-MM-dd");
    addRow(trGeneric("Version"),
        valueLabel(AppHelper::appVersion(true) + QLatin1String(kGreySpan) + trGeneric("built on ") + built
            + QStringLiteral(")</span>")),
        QStringLiteral("version"));
    addRow(trGeneric("OS"),
        valueLabel(AppHelper::OSPrettyName() + QLatin1Char(' ') + QString::number(AppHelper::OSBits())
            + trGeneric("-bit") + QLatin1String(kGreySpan) + QSysInfo::kernelVersion() + QStringLiteral(")</span>")),
        QStringLiteral("os"));
    if (showNetworkAddresses)
        addRow(trGeneric("IP address"), addressesWidget(port), QStringLiteral("addresses"));
    if (QWidget* feedback = feedbackWidget(organisationName, links))
        addRow(trGeneric("Feedback"), feedback, QStringLiteral("feedback"));
    if (!developers.isEmpty()) {
        QLabel* names = valueLabel(developersText(developers, QDate::currentDate()));
        names->setStyleSheet(QStringLiteral("line-height: 16px"));
        addRow(trGeneric("Developers"), names, QStringLiteral("developers"));
    }
    m_grid->setRowStretch(m_rows, 100);
}

void AboutAppWidget::addRow(const QString& caption, QWidget* value, const QString& objectName)
{
    m_grid->addWidget(
        UIHelper::GenerateLabelWithName(caption, QStringLiteral("graytext"), m_content), m_rows, 0, Qt::AlignTop);
    value->setObjectName(objectName);
    m_grid->addWidget(value, m_rows, 1, Qt::AlignTop);
    ++m_rows;
}

QLabel* AboutAppWidget::valueLabel(const QString& text)
{
    auto* label = new QLabel(text, m_content);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QWidget* AboutAppWidget::buttonRow(const QString& manualUrl, const QString& apiUrl)
{
    auto* row = new QWidget(m_content);
    row->setObjectName(QStringLiteral("aboutButtons"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    const QString manual = findManual(manualUrl);
    if (!manual.isEmpty()) {
        QPushButton* button = styledButton(
            trGeneric("Manual"), QStringLiteral("manualButton"), "#159", "#048", "#FFF", trGeneric("Open app manual"));
        connect(button, &QPushButton::clicked, button, [manual] { openAddress(manual); });
        layout->addWidget(button);
    }
    if (!apiUrl.isEmpty()) {
        QPushButton* button = styledButton(QStringLiteral("API"), QStringLiteral("apiButton"), "#c9d950", "#b5c439",
            "#000", trGeneric("Open API in browser"));
        connect(button, &QPushButton::clicked, button, [apiUrl] { QDesktopServices::openUrl(QUrl(apiUrl)); });
        layout->addWidget(button);
    }
    if (!AppHelper::translatedChangeLogPath().isEmpty()) {
        QPushButton* button = styledButton(trGeneric("ChangeLog"), QStringLiteral("changeLogButton"), "#ff9900",
            "#cc6600", "#000", trGeneric("Open change log"));
        connect(button, &QPushButton::clicked, this, &AboutAppWidget::openChangeLog);
        layout->addWidget(button);
    }
    layout->addWidget(new NewVersionButton(trGeneric("New version") + QLatin1Char(' '), QString(), row));
    layout->addStretch(1);
    return row;
}

QWidget* AboutAppWidget::addressesWidget(int port)
{
    auto* list = new QWidget(m_content);
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const QString& text : networkAddresses(port)) {
        const QString address = QStringLiteral("http://") + text;
        QPushButton* button = UIHelper::GenerateLinkButton(address, text);
        button->setStyleSheet(QStringLiteral("text-align: left; padding: 0"));
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, button, [button, text, address](const QPoint& at) {
            QMenu menu(button);
            menu.addAction(trGeneric("Copy"), button, [text] { QGuiApplication::clipboard()->setText(text); });
            menu.addAction(trGeneric("Open link"), button, [address] { QDesktopServices::openUrl(QUrl(address)); });
            menu.exec(button->mapToGlobal(at));
        });
        layout->addWidget(button, 0, Qt::AlignLeft);
    }
    return list;
}

QWidget* AboutAppWidget::feedbackWidget(const QString& organisationName, const QStringList& links)
{
    // The address and the telephone number are build-time texts that a catalogue may translate.
    QStringList texts = { organisationName };
    for (const QString& text : { MakerAddress, MakerPhone })
        texts.append(text.isEmpty() ? text : trGeneric(text.toUtf8().constData()));
    QString paragraphs;
    for (const QString& text : std::as_const(texts)) {
        if (!text.isEmpty())
            paragraphs += QStringLiteral("<p>") + text + QStringLiteral("</p>");
    }
    if (paragraphs.isEmpty() && MakerEmail.isEmpty() && links.isEmpty())
        return nullptr;

    auto* row = new QWidget(m_content);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!paragraphs.isEmpty())
        layout->addWidget(valueLabel(paragraphs), 0, Qt::AlignTop);
    if (!MakerEmail.isEmpty())
        layout->addWidget(UIHelper::GenerateLinkButton(
                              QStringLiteral("mailto:") + MakerEmail, MakerEmail, QIcon(), QStringLiteral("link")),
            0, Qt::AlignTop);
    for (const QString& link : links) {
        QString shown = link;
        shown.remove(QStringLiteral("https://"));
        layout->addWidget(UIHelper::GenerateLinkButton(link, shown), 0, Qt::AlignTop);
    }
    layout->addStretch(1);
    return row;
}

QString AboutAppWidget::findManual(const QString& manualUrl)
{
    const QString language = LanguageContext::currentLanguage().section(QLatin1Char('_'), 0, 0).toLower();
    const QDir folder(QCoreApplication::applicationDirPath());
    const QStringList pdfs = folder.entryList({ QStringLiteral("*.pdf") }, QDir::Files, QDir::Name);
    for (const QString& name : pdfs) {
        if (!language.isEmpty() && name.toLower().contains(language))
            return folder.filePath(name);
    }
    if (!pdfs.isEmpty())
        return folder.filePath(pdfs.first());

    QDirIterator it(folder.path(), { QStringLiteral("*.pdf") }, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = it.fileName();
        if (name.contains(QLatin1String("Manual"), Qt::CaseInsensitive)
            || name.contains(QLatin1String("Guide"), Qt::CaseInsensitive)
            || name.contains(QStringLiteral("Руководство")))
            return path;
    }
    return manualUrl;
}

QStringList AboutAppWidget::networkAddresses(int port)
{
    QStringList texts;
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface& interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsRunning) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const auto entries = interface.addressEntries();
        for (const QNetworkAddressEntry& entry : entries) {
            if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol)
                continue;
            QString text = entry.ip().toString();
            if (port > 1)
                text += QLatin1Char(':') + QString::number(port);
            texts.append(text);
        }
    }
    return texts;
}

QString AboutAppWidget::developersText(const QMap<QString, QDateTime>& developers, const QDate& today)
{
    const QString image = AppHelper::findInResources(QStringLiteral("balloon.png"));
    const QString balloon = image.isEmpty()
        ? QString::fromUcs4(U"\U0001F388")
        : QStringLiteral("<img src=\"%1\" width=\"10\" height=\"14\" style=\"vertical-align: middle\" title=\"%2\">")
              .arg(image, trGeneric("Happy birthday!"));
    QString text;
    for (auto it = developers.cbegin(); it != developers.cend(); ++it) {
        const QDate date = it.value().date();
        if (date.month() == today.month() && date.day() == today.day())
            text += balloon + QLatin1Char(' ');
        text += it.key() + QStringLiteral("<br/>");
    }
    return text;
}

QWidget* AboutAppWidget::openChangeLog()
{
    auto* panel = new QWidget(m_content);
    panel->setObjectName(QStringLiteral("changeLogPanel"));
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setContentsMargins(0, 0, 0, 0);
    StyleHelper::Link(panel,
        [panel] { UIHelper::ChangeBackground(panel, StyleHelper::ThemeColor(QStringLiteral("--n-bg"), Qt::white)); });
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* close = new QPushButton(QStringLiteral("X"), panel);
    close->setObjectName(QStringLiteral("changeLogClose"));
    close->setToolTip(trGeneric("Close"));
    const QIcon icon = MenuButton::CloseIcon();
    if (!icon.isNull()) {
        close->setIcon(icon);
        close->setIconSize(QSize(24, 24));
        close->setText(QString());
        close->setFlat(true);
    }
    close->setStyleSheet(QStringLiteral("font-size: 24px"));
    close->setMinimumSize(32, 32);
    close->setCursor(Qt::PointingHandCursor);
    connect(close, &QPushButton::clicked, panel, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);

    auto* viewer = new NScrollViewer(Qt::Vertical, panel);
    viewer->setTransparentBackground(false);
    auto* text = new QLabel(AppHelper::translatedChangeLog());
    text->setObjectName(QStringLiteral("changeLogText"));
    text->setTextFormat(Qt::RichText);
    text->setWordWrap(true);
    text->setMargin(10);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    viewer->add(text);
    layout->addWidget(viewer, 1);

    m_grid->addWidget(panel, 0, 0, -1, -1);
    panel->raise();
    panel->show();
    return panel;
}
