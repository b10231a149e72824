#include "BidsValidator.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

namespace {

QString packageScript()
{
    return QStringLiteral(HALVEX_VALIDATOR_FOLDER "/node_modules/bids-validator/bin/bids-validator");
}

} // namespace

QStringList BidsValidator::command()
{
    const QString onPath = QStandardPaths::findExecutable(QStringLiteral("bids-validator"));
    if (!onPath.isEmpty())
        return { onPath };
    const QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (node.isEmpty() || !QFileInfo(packageScript()).isFile())
        return {};
    return { node, packageScript() };
}

QString BidsValidator::missing()
{
    if (!command().isEmpty())
        return {};
    if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty())
        return QStringLiteral("Node.js (node) is not installed: the BIDS validator needs it");
    return QStringLiteral("the BIDS validator is not installed (neither bids-validator on the PATH nor %1; "
                          "scripts/install-deps installs it)")
        .arg(QDir::toNativeSeparators(packageScript()));
}

BidsValidator::Verdict BidsValidator::run(const QString& dataset, int timeoutMs)
{
    Verdict verdict;
    QStringList arguments = command();
    if (arguments.isEmpty()) {
        verdict.problem = missing();
        return verdict;
    }
    const QString program = arguments.takeFirst();
    QProcess process;
    process.start(program, arguments << QDir(dataset).absolutePath() << QStringLiteral("--json"));
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished(1000);
        verdict.problem = QStringLiteral("the BIDS validator did not finish");
        return verdict;
    }
    verdict = parse(process.readAllStandardOutput());
    if (!verdict.ran)
        verdict.problem = QString::fromUtf8(process.readAllStandardError()).trimmed().section(QLatin1Char('\n'), 0, 4);
    return verdict;
}

BidsValidator::Verdict BidsValidator::parse(const QByteArray& json)
{
    Verdict verdict;
    // The validator may print notices before its JSON.
    const qsizetype start = json.indexOf("{\"issues\"");
    const QJsonObject issues = QJsonDocument::fromJson(start < 0 ? json : json.mid(start))
                                   .object()
                                   .value(QStringLiteral("issues"))
                                   .toObject();
    if (issues.isEmpty()) {
        verdict.problem = QStringLiteral("the BIDS validator gave no verdict");
        return verdict;
    }
    verdict.ran = true;
    for (const char* severity : { "errors", "warnings" }) {
        const QJsonArray list = issues.value(QLatin1String(severity)).toArray();
        (QByteArray(severity) == "errors" ? verdict.errors : verdict.warnings) = int(list.size());
        for (const QJsonValue& value : list) {
            const QJsonObject issue = value.toObject();
            const QJsonArray files = issue.value(QStringLiteral("files")).toArray();
            QString where = files.first()
                                .toObject()
                                .value(QStringLiteral("file"))
                                .toObject()
                                .value(QStringLiteral("relativePath"))
                                .toString();
            if (files.size() > 1)
                where += QStringLiteral(" and %1 more").arg(files.size() - 1);
            verdict.lines.append(
                QStringLiteral("%1 %2: %3%4")
                    .arg(QString::fromLatin1(severity).chopped(1), issue.value(QStringLiteral("key")).toString(),
                        issue.value(QStringLiteral("reason")).toString(),
                        where.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(where)));
        }
    }
    return verdict;
}
