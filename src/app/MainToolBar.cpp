#include "MainToolBar.h"

#include "InstrumentConnection.h"
#include "LanguageContext.h"
#include "MarkEndpoint.h"
#include "MediaHelper.h"
#include "MenuButton.h"
#include "NewVersionButton.h"
#include "PropertyListControl.h"
#include "RecordControl.h"
#include "RecordSession.h"
#include "StyleHelper.h"
#include "ViewStack.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace {
// The tool bar's own texts keep the catalogue context they have always had.
QString trWindow(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}
} // namespace

MainToolBar::MainToolBar(HalvexSettings* settings, const Parts& parts, QWidget* window)
    : QWidget(window)
{
    setObjectName(QStringLiteral("toolBar"));
    StyleHelper::Instance()->setStyledBackground(this, QStringLiteral("--n-idle-bg"));
    setContentsMargins(0, 0, 4, 0);

    QPushButton* openFolder
        = iconButton(this, QStringLiteral("openFolderButton"), QStringLiteral(":/icons/folder-open.svg"));
    openFolder->setToolTip(trWindow("Open records folder"));
    connect(openFolder, &QPushButton::clicked, this, &MainToolBar::openFolderRequested);

    auto* newVersion = new NewVersionButton(
        QCoreApplication::translate("Generic", "New version") + QLatin1Char(' '), QString(), this);
    newVersion->setObjectName(QStringLiteral("newVersion"));
    newVersion->button()->setIcon(
        MediaHelper::iconColored(QStringLiteral(":/icons/star.svg"), QStringLiteral("#FFCC00")));

    const QKeySequence recordsKey(Qt::CTRL | Qt::Key_O);
    auto* records = new QPushButton(trGeneric("Records"), this);
    records->setObjectName(QStringLiteral("recordsButton"));
    records->setMinimumHeight(28);
    records->setCursor(Qt::PointingHandCursor);
    records->setIconSize(QSize(24, 24));
    StyleHelper::SetButtonIcon(records, QStringLiteral(":/icons/file-chart.svg"), QColor(QStringLiteral("#FFF")));
    records->setToolTip(withShortcut(trGeneric("Records"), recordsKey));
    connect(records, &QPushButton::clicked, this, &MainToolBar::recordsRequested);
    connect(new QShortcut(recordsKey, window), &QShortcut::activated, this, &MainToolBar::recordsRequested);

    QWidget* settingsButton = buildSettingsButton(settings, parts, window);

    QPushButton* about = iconButton(this, QStringLiteral("aboutButton"), QStringLiteral(":/icons/information.svg"));
    about->setFlat(true);
    about->setToolTip(trGeneric("App info"));
    connect(about, &QPushButton::clicked, this, &MainToolBar::aboutRequested);

    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(0);
    m_row->addWidget(parts.instrument->connectButton());
    m_row->addWidget(parts.instrument->deviceList());
    m_row->addWidget(parts.instrument->refreshButton());
    m_row->addSpacing(2);
    m_row->addWidget(parts.rateLabel, 100, Qt::AlignLeft);
    m_row->addWidget(openFolder);
    m_row->addWidget(parts.recordControl->recordButton());
    m_row->addWidget(parts.recordControl->recBadge());
    m_row->addSpacing(2);
    m_row->addWidget(parts.recordControl->elapsedLabel());
    m_row->addWidget(parts.recordControl->titleField());
    m_row->addWidget(parts.recordControl->markButton());
    m_row->addStretch(100);
    for (QPushButton* button : parts.views->buttons())
        m_row->addWidget(button);
    m_panelIndex = m_row->count();
    m_row->addSpacing(20);
    m_row->addWidget(records);
    m_row->addSpacing(20);
    m_row->addWidget(newVersion);
    m_row->addWidget(settingsButton);
    m_row->addWidget(about);
}

QPushButton* MainToolBar::iconButton(
    QWidget* parent, const QString& objectName, const QString& icon, int size, int iconSize)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setFixedSize(size, size);
    button->setIconSize(QSize(iconSize, iconSize));
    button->setContentsMargins(0, 0, 0, 0);
    button->setCursor(Qt::PointingHandCursor);
    StyleHelper::SetButtonIcon(button, icon, QColor(QStringLiteral("#FFF")));
    return button;
}

QString MainToolBar::withShortcut(const QString& text, const QKeySequence& shortcut)
{
    return text + QStringLiteral(" (") + shortcut.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

void MainToolBar::addPanelButton(QWidget* button)
{
    // The first panel button keeps a gap from the joined view buttons.
    if (m_panelButtons++ == 0)
        m_row->insertSpacing(m_panelIndex++, 8);
    m_row->insertWidget(m_panelIndex++, button);
}

QWidget* MainToolBar::buildSettingsButton(HalvexSettings* settings, const Parts& parts, QWidget* window)
{
    const QKeySequence settingsKey(Qt::CTRL | Qt::Key_Comma);
    auto* button = new MenuButton(QIcon(), QString(), this);
    button->setObjectName(QStringLiteral("settingsButton"));
    button->setFixedSize(32, 32);
    button->setFlat(true);
    button->setCursor(Qt::PointingHandCursor);
    button->hideMenuIndicator();
    button->setToolTip(withShortcut(trWindow("Open settings"), settingsKey));
    StyleHelper::SetButtonIcon(button, QStringLiteral(":/icons/settings.svg"), QColor(QStringLiteral("#FFF")));
    auto* editor = new PropertyListControl(settings, QString(), PropertyListControl::ViewAll);
    editor->setObjectName(QStringLiteral("settingsEditor"));
    // The settings that shape a record (its header, its ".ini" and what its lines mean) wait for its end.
    auto* recordNote = new QLabel(trGeneric("A record is running: changes of the acquisition variant, RIRsmoothing "
                                            "and the montage take effect when it ends."));
    recordNote->setObjectName(QStringLiteral("settingsRecordNote"));
    recordNote->setWordWrap(true);
    recordNote->hide();
    button->addWidgetToMenu(recordNote);
    connect(parts.recordControl->session(), &RecordSession::recordingChanged, recordNote, &QWidget::setVisible);
    parts.markEndpoint->showTokenIn(editor);
    button->addWidgetToMenu(editor);
    connect(new QShortcut(settingsKey, window), &QShortcut::activated, button, &QPushButton::showMenu);
    return button;
}
