#include "SnirfExportControl.h"

#include "LanguageContext.h"
#include "RecordsSettings.h"
#include "SnirfExporter.h"

#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

SnirfExportControl::SnirfExportControl(RecordsSettings* settings, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
{
    m_button = new QPushButton(trGeneric("Export SNIRF"), this);
    m_button->setObjectName(QStringLiteral("exportSnirfButton"));
    m_button->setToolTip(trGeneric("Write every open record as a SNIRF file beside it (.snirf)"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("exportSnirfProgress"));
    m_progress->setFixedWidth(100);
    m_progress->hide();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_button);
    layout->addWidget(m_progress);
    connect(m_button, &QPushButton::clicked, this, &SnirfExportControl::exportRequested);
}

void SnirfExportControl::exportRecords(const QStringList& paths)
{
    SnirfExporter::Options options;
    options.redWavelength = m_settings->getRedWavelength();
    options.infraredWavelength = m_settings->getInfraredWavelength();
    options.distanceMm = m_settings->getSourceDetectorDistance();
    // Asked for in the window, an export replaces the one made before, for instance with other wavelengths.
    options.overwrite = true;
    m_button->setEnabled(false);
    m_progress->setRange(0, 1000 * int(paths.size()));
    m_progress->setValue(0);
    m_progress->show();
    QStringList lines;
    bool failed = paths.isEmpty();
    if (paths.isEmpty())
        lines.append(trGeneric("No records are open."));
    SnirfExporter exporter;
    for (int i = 0; i < paths.size(); ++i) {
        const bool exported = exporter.exportRecord(paths.at(i), QString(), options, [this, i](double fraction) {
            m_progress->setValue(int((i + fraction) * 1000));
            // Repaint the bar during a long record; clicks wait until the export is done.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        failed = failed || !exported;
        lines.append(exported ? trGeneric("Exported to %1").arg(QDir::toNativeSeparators(exporter.summary().output))
                              : trGeneric("Not exported: %1").arg(exporter.errorString()));
        if (exported && exporter.summary().skippedLines > 0)
            lines.append(trGeneric("%1 damaged lines skipped").arg(exporter.summary().skippedLines));
        if (exported && exporter.summary().outsideMarks > 0)
            lines.append(trGeneric("%1 marks outside the samples left out").arg(exporter.summary().outsideMarks));
    }
    m_progress->hide();
    m_button->setEnabled(true);

    // Non-modal: the window stays usable while the message is up.
    auto* message = new QMessageBox(failed ? QMessageBox::Warning : QMessageBox::Information, trGeneric("Export SNIRF"),
        lines.join(QLatin1Char('\n')), QMessageBox::Ok, window());
    message->setObjectName(QStringLiteral("exportSnirfMessage"));
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->setModal(false);
    message->show();
}
