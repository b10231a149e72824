#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

// A command-line tool run to its end in a folder: its exit code (-1 when it did not end normally in time) and what
// it wrote.
struct ToolRun
{
    int exitCode = -1;
    QByteArray output;
    QByteArray error;
};

inline ToolRun runTool(const QString& program, const QStringList& arguments, const QString& folder, int timeoutMs)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    ToolRun result;
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.exitCode = process.exitCode();
    result.output = process.readAllStandardOutput();
    result.error = process.readAllStandardError();
    return result;
}

// Why a comparison with MNE-Python cannot run here, or nothing when Debian's python3 loads mne and scipy.
inline QString mneMissing()
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), { QStringLiteral("-c"), QStringLiteral("import mne, scipy") });
    if (python.waitForFinished(60000) && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0)
        return {};
    return QStringLiteral("python3-mne is missing (/usr/bin/python3 cannot import mne and scipy): the comparison with "
                          "MNE-Python is skipped");
}
