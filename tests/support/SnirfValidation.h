#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// The SNIRF community's validator run on exported files through tests/records/snirf_validate.py (the script's path
// is given by the test). A test fails on a file that does not pass, and skips, naming what is missing, only where
// the validator is not installed beside the source tree.
struct SnirfValidation
{
    enum Outcome { Passed, Failed, Absent };
    Outcome outcome = Failed;
    QString report; // the issues found, or why the validator did not run

    static SnirfValidation run(const QString& script, const QStringList& files)
    {
        SnirfValidation validation;
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"), QStringList { script } + files);
        if (!python.waitForFinished(100000) || python.exitStatus() != QProcess::NormalExit) {
            validation.report = QStringLiteral("the validator did not finish");
            return validation;
        }
        validation.report = QString::fromUtf8(python.readAllStandardError()).trimmed();
        validation.outcome = python.exitCode() == 0 ? Passed : python.exitCode() == 77 ? Absent : Failed;
        return validation;
    }
};
