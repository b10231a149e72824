#pragma once

#include <QString>

// Where one recording goes in a dataset: the subject, the session (may be empty), the task and the run (0 for none)
// as the dataset's folder and file names spell them ("sub-01/ses-2/nirs/sub-01_ses-2_task-rest_run-1_nirs.snirf").
struct BidsName
{
    QString subject;
    QString session;
    QString task;
    int run = 0;

    // Why text cannot be a label (letters and digits only, at least one), or nothing when it can; what names the
    // option or field in the message.
    static QString labelError(const QString& what, const QString& text);
    // The first label that cannot be one, with its reason; the session may be empty.
    QString error() const;

    // "sub-<subject>"; "sub-<subject>_ses-<session>" with a session.
    QString subjectPrefix() const;
    // "sub-<subject>" or "sub-<subject>/ses-<session>": the folder of the scans table.
    QString sessionFolder() const;
    // The file name stem shared by the recording's files: the prefix, the task and the run.
    QString stem() const;
    // Paths relative to the dataset.
    QString nirsPath(const QString& suffix) const; // "<session folder>/nirs/<stem>_<suffix>"
    QString sessionFile(const QString& suffix) const; // "<session folder>/nirs/<prefix>_<suffix>"
    QString scansPath() const; // "<session folder>/<prefix>_scans.tsv"
    // The recording's file as the scans table names it, relative to its folder.
    QString scansEntry() const;
};
