#include "BidsExportDialog.h"

#include "BidsExporter.h"
#include "BidsValidator.h"
#include "LanguageContext.h"
#include "RecordsSettings.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// The validator's issues shown at most, the rest counted.
constexpr int ShownIssues = 8;

} // namespace

struct BidsExportDialog::Outcome
{
    bool exported = false;
    QString error;
    QStringList written;
    BidsValidator::Verdict verdict;
};

BidsExportDialog::BidsExportDialog(RecordsSettings* settings, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("bidsExportDialog"));
    setWindowTitle(trGeneric("Export to BIDS"));
    m_dataset = new QLineEdit(m_settings->getBidsDataset(), this);
    m_dataset->setObjectName(QStringLiteral("bidsDataset"));
    auto* browse = new QPushButton(trGeneric("Choose…"), this);
    auto* datasetRow = new QHBoxLayout;
    datasetRow->addWidget(m_dataset, 1);
    datasetRow->addWidget(browse);
    m_subject = new QLineEdit(m_settings->getBidsSubject(), this);
    m_subject->setObjectName(QStringLiteral("bidsSubject"));
    m_session = new QLineEdit(m_settings->getBidsSession(), this);
    m_session->setObjectName(QStringLiteral("bidsSession"));
    m_session->setPlaceholderText(trGeneric("none"));
    m_task = new QLineEdit(m_settings->getBidsTask(), this);
    m_task->setObjectName(QStringLiteral("bidsTask"));
    m_run = new QSpinBox(this);
    m_run->setObjectName(QStringLiteral("bidsRun"));
    m_run->setRange(0, 9999);
    m_run->setSpecialValueText(trGeneric("none"));
    m_run->setValue(m_settings->getBidsRun());
    const QString labelRule = trGeneric("Letters and digits only");
    for (QLineEdit* label : { m_subject, m_session, m_task })
        label->setToolTip(labelRule);
    m_run->setToolTip(trGeneric("The first record's run number, the others follow; none for a single record of the "
                                "task"));

    auto* form = new QFormLayout;
    form->addRow(trGeneric("Dataset folder"), datasetRow);
    form->addRow(trGeneric("Subject"), m_subject);
    form->addRow(trGeneric("Session"), m_session);
    form->addRow(trGeneric("Task"), m_task);
    form->addRow(trGeneric("Run"), m_run);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("bidsProgress"));
    m_progress->setRange(0, 1000);
    m_progress->hide();
    m_report = new QPlainTextEdit(this);
    m_report->setObjectName(QStringLiteral("bidsReport"));
    m_report->setReadOnly(true);
    m_report->setMinimumSize(520, 140);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_export = buttons->addButton(trGeneric("Export"), QDialogButtonBox::AcceptRole);
    m_export->setObjectName(QStringLiteral("bidsExportButton"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_progress);
    layout->addWidget(m_report, 1);
    layout->addWidget(buttons);

    connect(browse, &QPushButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, trGeneric("Dataset folder"), m_dataset->text());
        if (!folder.isEmpty())
            m_dataset->setText(QDir::toNativeSeparators(folder));
    });
    connect(m_export, &QPushButton::clicked, this, &BidsExportDialog::startExport);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
}

BidsExportDialog::~BidsExportDialog()
{
    // The export finishes first: it writes into the dataset, and a half-moved dataset is what it avoids.
    if (m_watcher)
        m_watcher->waitForFinished();
}

void BidsExportDialog::setRecords(const QStringList& records)
{
    m_records = records;
    m_report->setPlainText(records.isEmpty() ? trGeneric("No records are open.")
                                             : trGeneric("%1 open records will be exported.").arg(records.size()));
}

bool BidsExportDialog::isRunning() const
{
    return m_watcher && m_watcher->isRunning();
}

void BidsExportDialog::startExport()
{
    if (isRunning())
        return;
    m_settings->setBidsDataset(m_dataset->text().trimmed());
    m_settings->setBidsSubject(m_subject->text().trimmed());
    m_settings->setBidsSession(m_session->text().trimmed());
    m_settings->setBidsTask(m_task->text().trimmed());
    m_settings->setBidsRun(m_run->value());
    BidsExporter::Options options = BidsExporter::options(*m_settings);
    options.dataset = QDir::fromNativeSeparators(m_settings->getBidsDataset());
    options.name.subject = m_settings->getBidsSubject();
    options.name.session = m_settings->getBidsSession();
    options.name.task = m_settings->getBidsTask();
    options.name.run = m_settings->getBidsRun();
    if (m_records.isEmpty() || options.dataset.isEmpty()) {
        m_report->setPlainText(
            m_records.isEmpty() ? trGeneric("No records are open.") : trGeneric("Choose the dataset folder."));
        return;
    }

    m_export->setEnabled(false);
    m_progress->setValue(0);
    m_progress->show();
    m_report->setPlainText(trGeneric("Exporting…"));
    auto* watcher = new QFutureWatcher<Outcome>(this);
    m_watcher = watcher;
    // The bar outlives the run: the dialog waits for it when closed.
    QProgressBar* progress = m_progress;
    watcher->setFuture(QtConcurrent::run([records = m_records, options, progress]() -> Outcome {
        Outcome outcome;
        BidsExporter exporter;
        outcome.exported = exporter.exportRecords(records, options, [progress](double fraction) {
            QMetaObject::invokeMethod(
                progress, [progress, fraction] { progress->setValue(int(fraction * 1000)); }, Qt::QueuedConnection);
        });
        outcome.error = exporter.errorString();
        outcome.written = exporter.written();
        if (outcome.exported)
            outcome.verdict = BidsValidator::run(options.dataset);
        return outcome;
    }));
    connect(watcher, &QFutureWatcher<Outcome>::finished, this, [this, watcher] {
        showOutcome(watcher->result());
        watcher->deleteLater();
        m_watcher = nullptr;
        emit exportFinished();
    });
}

void BidsExportDialog::showOutcome(const Outcome& outcome)
{
    m_progress->hide();
    m_export->setEnabled(true);
    QStringList lines;
    if (!outcome.exported) {
        lines.append(trGeneric("Not exported: %1").arg(outcome.error));
        lines.append(trGeneric("The dataset is as it was."));
    }
    for (const QString& file : outcome.written)
        lines.append(trGeneric("Exported to %1").arg(QDir::toNativeSeparators(file)));
    if (outcome.exported && outcome.verdict.ran) {
        lines.append(trGeneric("BIDS validator: %1 errors, %2 warnings")
                         .arg(outcome.verdict.errors)
                         .arg(outcome.verdict.warnings));
        lines.append(outcome.verdict.lines.mid(0, ShownIssues));
        if (outcome.verdict.lines.size() > ShownIssues)
            lines.append(trGeneric("… and %1 more").arg(outcome.verdict.lines.size() - ShownIssues));
    } else if (outcome.exported) {
        lines.append(trGeneric("Not validated: %1").arg(outcome.verdict.problem));
    }
    m_report->setPlainText(lines.join(QLatin1Char('\n')));
}
