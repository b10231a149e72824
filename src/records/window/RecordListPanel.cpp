#include "RecordListPanel.h"

#include "LanguageContext.h"
#include "RecordListModel.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A record being written changes many times a second: the list reads it again at most this often.
constexpr int RefreshDelayMs = 500;

} // namespace

RecordListPanel::RecordListPanel(QWidget* parent)
    : QWidget(parent)
    , m_reader(std::make_unique<QObject>())
{
    m_model = new RecordListModel(this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("recordSearch"));
    m_search->setPlaceholderText(trGeneric("Search records"));
    m_search->setToolTip(trGeneric("Shows the records whose title, file name, start date or mark texts hold every "
                                   "word typed here"));
    m_search->setClearButtonEnabled(true);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("recordList"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_view->horizontalHeader()->setSectionResizeMode(RecordListModel::TitleColumn, QHeaderView::Stretch);
    m_view->setToolTip(trGeneric("The records of the data folder, newest first. Double-click one, or select several "
                                 "and press Enter, to show them"));

    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("recordListHint"));
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setWordWrap(true);
    m_hint->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_search);
    layout->addWidget(m_view, 100);
    layout->addWidget(m_hint, 100);

    auto* open = new QAction(trGeneric("Open"), m_view);
    open->setShortcuts({ QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter) });
    open->setShortcutContext(Qt::WidgetShortcut);
    m_view->addAction(open);
    connect(open, &QAction::triggered, this, [this] {
        const QStringList paths = selectedPaths();
        if (!paths.isEmpty())
            emit openRequested(paths);
    });
    connect(m_view, &QAbstractItemView::doubleClicked, this,
        [this](const QModelIndex& index) { emit openRequested({ index.data(RecordListModel::PathRole).toString() }); });
    connect(m_search, &QLineEdit::textChanged, this, &RecordListPanel::applyFilter);

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(RefreshDelayMs);
    connect(m_refreshTimer, &QTimer::timeout, this, &RecordListPanel::startScan);
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &RecordListPanel::refresh);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &RecordListPanel::refresh);

    qRegisterMetaType<QList<RecordSummary>>();
    m_reader->moveToThread(&m_thread);
    m_thread.setObjectName(QStringLiteral("record list"));
    m_thread.start(QThread::LowPriority);
}

RecordListPanel::~RecordListPanel()
{
    // A reading under way finishes first; what it posts back is dropped with this object.
    m_thread.quit();
    m_thread.wait();
}

void RecordListPanel::setFolder(const QString& folder)
{
    if (!m_watcher->directories().isEmpty())
        m_watcher->removePaths(m_watcher->directories());
    if (!m_watcher->files().isEmpty())
        m_watcher->removePaths(m_watcher->files());
    m_watchedRecord.clear();
    m_folder = folder;
    // The folder's parent tells when a missing folder is made.
    const QString parent = QFileInfo(folder).absolutePath();
    if (QFileInfo(folder).isDir())
        m_watcher->addPath(folder);
    else if (QFileInfo(parent).isDir())
        m_watcher->addPath(parent);
    m_model->setRecords({});
    startScan();
}

void RecordListPanel::refresh()
{
    // At most one reading per delay: the timer is not pushed further out by later changes.
    if (!m_refreshTimer->isActive())
        m_refreshTimer->start();
}

void RecordListPanel::startScan()
{
    if (m_scanning) {
        m_scanAgain = true;
        return;
    }
    m_scanning = true;
    m_scanAgain = false;
    QMetaObject::invokeMethod(m_reader.get(), [this, folder = m_folder, previous = m_model->records()] {
        const bool exists = QFileInfo(folder).isDir();
        QList<RecordSummary> records = exists ? RecordSummary::scan(folder, previous) : QList<RecordSummary>();
        QMetaObject::invokeMethod(
            this, [this, records = std::move(records), exists] { takeScan(records, exists); }, Qt::QueuedConnection);
    });
}

void RecordListPanel::takeScan(const QList<RecordSummary>& records, bool folderExists)
{
    m_scanning = false;
    const QStringList selected = selectedPaths();
    const QString current = m_view->currentIndex().data(RecordListModel::PathRole).toString();
    m_model->setRecords(records);
    if (folderExists != m_folderExists) {
        m_folderExists = folderExists;
        // A folder made since: follow it rather than its parent.
        if (folderExists && !m_watcher->directories().contains(m_folder))
            m_watcher->addPath(m_folder);
    }
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        const QString path = index.data(RecordListModel::PathRole).toString();
        if (selected.contains(path))
            m_view->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        if (path == current)
            m_view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    }
    watchNewest();
    applyFilter();
    emit scanned();
    if (m_scanAgain)
        startScan();
}

void RecordListPanel::watchNewest()
{
    // Only the files of a folder that come and go reach the folder's watch; the lines a running record adds reach
    // the watch of its file. The newest record is the one that can be running.
    const QString newest = m_model->records().isEmpty() ? QString() : m_model->records().constFirst().path;
    if (newest == m_watchedRecord)
        return;
    if (!m_watchedRecord.isEmpty())
        m_watcher->removePath(m_watchedRecord);
    m_watchedRecord = newest;
    if (!newest.isEmpty())
        m_watcher->addPath(newest);
}

void RecordListPanel::applyFilter()
{
    const QString filter = m_search->text();
    for (int row = 0; row < m_model->rowCount(); ++row)
        m_view->setRowHidden(row, !m_model->records().at(row).matches(filter));
    updateHint();
}

void RecordListPanel::updateHint()
{
    QString hint;
    if (!m_folderExists || m_model->rowCount() == 0) {
        hint = trGeneric("No records in %1 yet. A record appears here once it is made; Open shows records from "
                         "elsewhere.")
                   .arg(QDir::toNativeSeparators(m_folder));
    } else if (shownPaths().isEmpty()) {
        hint = trGeneric("No record matches \"%1\".").arg(m_search->text());
    }
    m_hint->setText(hint);
    m_hint->setVisible(!hint.isEmpty());
    m_view->setVisible(hint.isEmpty());
}

QStringList RecordListPanel::shownPaths() const
{
    QStringList paths;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (!m_view->isRowHidden(row))
            paths << m_model->records().at(row).path;
    }
    return paths;
}

QStringList RecordListPanel::selectedPaths() const
{
    // In the list's order, newest first, whatever the order of the clicks.
    QStringList paths;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        if (!m_view->isRowHidden(row) && m_view->selectionModel()->isRowSelected(row))
            paths << m_model->records().at(row).path;
    }
    return paths;
}
