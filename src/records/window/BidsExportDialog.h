#pragma once

#include <QDialog>
#include <QStringList>

class QFutureWatcherBase;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class RecordsSettings;

// "Export to BIDS": the records into a BIDS dataset, with the dataset folder, subject, session, task and run that the
// records settings remember between uses. The export, and then the validator where it is installed, run on a thread
// of their own; the dialog shows the progress, then the files written or the reason, and the validator's verdict.
class BidsExportDialog : public QDialog
{
    Q_OBJECT
public:
    BidsExportDialog(RecordsSettings* settings, QWidget* parent = nullptr);
    ~BidsExportDialog() override;

    // The records the next export writes (the window's open records).
    void setRecords(const QStringList& records);
    // Starts the export as the Export button does.
    void startExport();
    bool isRunning() const;

signals:
    // After an export, with its outcome shown.
    void exportFinished();

private:
    struct Outcome;

    void showOutcome(const Outcome& outcome);

    RecordsSettings* m_settings = nullptr;
    QStringList m_records;
    QLineEdit* m_dataset = nullptr;
    QLineEdit* m_subject = nullptr;
    QLineEdit* m_session = nullptr;
    QLineEdit* m_task = nullptr;
    QSpinBox* m_run = nullptr;
    QProgressBar* m_progress = nullptr;
    QPlainTextEdit* m_report = nullptr;
    QPushButton* m_export = nullptr;
    QFutureWatcherBase* m_watcher = nullptr;
};
