#pragma once

#include <QStringList>
#include <QWidget>

class QProgressBar;
class QPushButton;
class RecordsSettings;

// The records window's "Export SNIRF" button with its progress bar: writes records as SNIRF files beside them at the
// wavelengths and distance of the records settings, then names the files or the reasons in a message that leaves
// the window usable.
class SnirfExportControl : public QWidget
{
    Q_OBJECT
public:
    explicit SnirfExportControl(RecordsSettings* settings, QWidget* parent = nullptr);

    void exportRecords(const QStringList& paths);

signals:
    // The button was pressed; the window answers with the records to export.
    void exportRequested();

private:
    RecordsSettings* m_settings = nullptr;
    QPushButton* m_button = nullptr;
    QProgressBar* m_progress = nullptr;
};
