// halvex-export --bids run as a user runs it on records the record writer made: the dataset it makes passes the BIDS
// validator, MNE-Python reads every recording, the events and channel statuses agree with the SNIRF files and
// halvex-analyze, no file names the participant, and every refusal leaves the dataset as it was.
#include "BidsTable.h"
#include "BidsValidator.h"
#include "DataRow.h"
#include "LightRecord.h"
#include "RecordEvents.h"
#include "TemporaryHome.h"
#include "ToolRun.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <unistd.h>

namespace {

// Every folder and file below root (hidden ones too) with its bytes; a folder holds "/".
QMap<QString, QByteArray> tree(const QString& root)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        entries.insert(
            QDir(root).relativeFilePath(path), it.fileInfo().isDir() ? QByteArray("/") : TemporaryHome::readFile(path));
    }
    return entries;
}

QList<qint64> regular(int count, qint64 first = 0)
{
    QList<qint64> times;
    for (int i = 0; i < count; ++i)
        times.append(first + 20 * i);
    return times;
}

} // namespace

class tst_BidsExport : public QObject
{
    Q_OBJECT
private:
    TemporaryHome m_home;
    // The records, named as the record writer names them, the title a participant's name.
    QString m_first = QStringLiteral("2026.03.14-09.26.53.589-Anna Smith.csv");
    QString m_second = QStringLiteral("2026.03.14-10.02.11.004-Ivan Petrov.csv");

    QString path(const QString& name) const { return QDir(m_home.path()).filePath(name); }
    ToolRun exportTo(const QString& dataset, const QStringList& arguments) const
    {
        return runTool(HALVEX_EXPORT, QStringList { "--bids", dataset } + arguments, m_home.path(), 120000);
    }

private slots:
    void initTestCase()
    {
        const QString montage = QStringLiteral("1=Fp1;2=Fp2\n3=Cz;4=Pz");
        const QList<Light> light = { Light::Coupled, Light::Uncoupled, Light::Coupled, Light::Coupled };
        QVERIFY(writeLightRecord(path(m_first), RecordLayout::Acquire_RIR, light, montage, regular(1500)));
        // Unplugged for eight seconds: a gap.
        QVERIFY(writeLightRecord(
            path(m_second), RecordLayout::Acquire_VRIR, light, montage, regular(600) + regular(600, 20000)));
        for (const QString& record : { m_first, m_second }) {
            QVERIFY(TemporaryHome::writeFile(RecordEvents::eventsPath(path(record)),
                RecordEvents::formatLine(5000, "key", "F1") + RecordEvents::formatLine(9500, "http", "Stim A")));
            QVERIFY(TemporaryHome::writeFile(
                QString(path(record)).replace(".csv", ".log"), "1000\tSync\r\n7000\tStimB\r\n"));
        }
        QCOMPARE(exportTo("base", { "--subject", "01", "--task", "rest", m_first }).exitCode, 0);
        QCOMPARE(exportTo("base", { "--subject", "01", "--task", "walk", "--run", "1", m_first }).exitCode, 0);
    }

    // Two subjects, the second with two sessions of two runs each, one command per session.
    void dataset()
    {
        const QList<QPair<QStringList, QStringList>> commands
            = { { { "--subject", "01", "--task", "rest" }, { m_first } },
                  { { "--subject", "02", "--session", "1", "--task", "rest", "--run", "1" }, { m_first, m_second } },
                  { { "--subject", "02", "--session", "2", "--task", "rest", "--run", "1" }, { m_second, m_first } } };
        QMap<QString, QString> records; // each SNIRF file's record
        for (const auto& [options, given] : commands) {
            const ToolRun run = exportTo("study", options + given);
            QVERIFY2(run.exitCode == 0, run.error.constData());
            const QList<QByteArray> lines = run.output.trimmed().split('\n');
            QCOMPARE(lines.size(), given.size());
            for (qsizetype i = 0; i < lines.size(); ++i)
                records.insert(path("study/" + QString::fromUtf8(lines[i].left(lines[i].indexOf(':')))), given[i]);
        }
        QCOMPARE(records.size(), 5);
        const QMap<QString, QByteArray> files = tree(path("study"));
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            QVERIFY2(!it.key().contains("Smith") && !it.value().contains("Smith") && !it.value().contains("Petrov"),
                qPrintable(it.key()));
        }
        QCOMPARE(BidsTable::parse(files.value("participants.tsv"), {}).rows(),
            QList<QStringList>({ { "sub-01" }, { "sub-02" } }));

        for (auto it = records.cbegin(); it != records.cend(); ++it) {
            const ToolRun quality = runTool(HALVEX_ANALYZE, { "--quality", it.value() }, m_home.path(), 60000);
            QCOMPARE(quality.exitCode, 0);
            const BidsTable expected = BidsTable::parse(QByteArray(quality.output).replace(';', '\t'), {});
            const BidsTable channels = BidsTable::parse(
                TemporaryHome::readFile(QString(it.key()).replace("_nirs.snirf", "_channels.tsv")), {});
            QCOMPARE(channels.rows().size(), 2 * expected.rows().size());
            for (qsizetype row = 0; row < channels.rows().size(); ++row)
                QCOMPARE(channels.cell(row, "status"), expected.cell(row / 2, "status"));
        }

        if (const QString missing = mneMissing(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const ToolRun mne
            = runTool("/usr/bin/python3", QStringList { SNIRF_CHECK } + records.keys(), m_home.path(), 120000);
        QVERIFY2(mne.exitCode == 0, mne.error.constData());
        const QJsonObject read = QJsonDocument::fromJson(mne.output).object();
        for (const QString& snirf : records.keys()) {
            QCOMPARE(read.value(snirf)["channels"].toInt(), 8);
            const BidsTable events
                = BidsTable::parse(TemporaryHome::readFile(QString(snirf).replace("_nirs.snirf", "_events.tsv")), {});
            QList<QPair<double, QString>> inTable;
            for (qsizetype row = 0; row < events.rows().size(); ++row)
                inTable.append({ events.cell(row, "onset").toDouble(), events.cell(row, "trial_type") });
            std::sort(inTable.begin(), inTable.end());
            const QJsonArray stimuli = read.value(snirf)["stimuli"].toArray();
            QCOMPARE(inTable.size(), stimuli.size());
            QVERIFY(inTable.size() >= 3);
            for (qsizetype i = 0; i < inTable.size(); ++i) {
                QCOMPARE(inTable[i].second, stimuli[i][1].toString());
                QVERIFY2(qAbs(inTable[i].first - stimuli[i][0].toDouble()) < 1e-6, qPrintable(inTable[i].second));
            }
        }

        if (const QString missing = BidsValidator::missing(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
        const BidsValidator::Verdict verdict = BidsValidator::run(path("study"));
        QVERIFY2(verdict.ran, qPrintable(verdict.problem));
        for (const QString& line : verdict.lines)
            qInfo("%s", qPrintable(line));
        QCOMPARE(verdict.errors, 0);
        // What no program can know (the authors), and the shape of this study (a subject without sessions).
        const QStringList beyondHalvex = { "NO_AUTHORS", "INCONSISTENT_SUBJECTS", "MISSING_SESSION" };
        for (const QString& line : verdict.lines)
            QVERIFY2(beyondHalvex.contains(line.section(' ', 1, 1).chopped(1)), qPrintable(line));
    }

    // Every refusal names its reason and leaves the dataset (base: sub-01, task rest, and task walk run 1) as it was,
    // with no file left over.
    void refused_data()
    {
        addColumns<QStringList, QString, int, int, QByteArray>(
            { "arguments", "readOnly", "limitBlocks", "exitCode", "error" });
        const QString first = m_first;
        const auto row = [&first](const char* tag, QStringList arguments, const char* readOnly, int blocks, int code,
                             const char* error) {
            addRow(tag, arguments << first, QString(readOnly), blocks, code, QByteArray(error));
        };
        row("subject with a dash", { "--subject", "0-1", "--task", "rest" }, "", 0, 2,
            "--subject \"0-1\" is not a label: use letters and digits only");
        row("task with an underscore", { "--subject", "01", "--task", "rest_1" }, "", 0, 2,
            "--task \"rest_1\" is not a label");
        row("session with a dot", { "--subject", "01", "--session", "1.0", "--task", "rest" }, "", 0, 2,
            "--session \"1.0\" is not a label");
        row("an existing run", { "--subject", "01", "--task", "walk", "--run", "1" }, "", 0, 3,
            "sub-01/nirs/sub-01_task-walk_run-1_nirs.snirf exists: run 1 of the task is in the dataset already; "
            "--force replaces it");
        row("the task again without a run", { "--subject", "01", "--task", "rest" }, "", 0, 3,
            "sub-01/nirs/sub-01_task-rest_nirs.snirf exists: subject 01 did task rest before; give the new record a "
            "run number (--run), or replace the one there (--force)");
        row("runs of the task, then none", { "--subject", "01", "--task", "walk" }, "", 0, 3,
            "the dataset holds runs of task walk of subject 01: give the new record a run number (--run)");
        row("two records without a run", { "--subject", "02", "--task", "rest", m_second }, "", 0, 2,
            "2 records of one subject, session and task are 2 runs");
        row("a read-only dataset", { "--subject", "02", "--task", "rest" }, ".", 0, 4,
            "cannot write in the dataset: Permission denied");
        // The run's files are in place when the scans table cannot be replaced: they are taken out again.
        row("a read-only subject folder", { "--subject", "01", "--task", "walk", "--run", "2" }, "sub-01", 0, 4,
            "sub-01/sub-01_scans.tsv: cannot move it aside: Permission denied");
        row("a file size limit", { "--subject", "01", "--task", "walk", "--run", "2" }, "", 40, 4,
            "sub-01/nirs/sub-01_task-walk_run-2_nirs.snirf: File too large");
    }
    void refused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, readOnly);
        QFETCH(int, limitBlocks);
        const QString dataset = path("base");
        const QMap<QString, QByteArray> before = tree(dataset);
        QStringList command = { "/bin/sh", "-c", "trap '' XFSZ; ulimit -f $1; shift; exec \"$@\"", "sh",
            limitBlocks > 0 ? QString::number(limitBlocks) : "unlimited", HALVEX_EXPORT, "--bids", dataset };
        // Permissions hold for the superuser only without the capability to override them.
        if (!readOnly.isEmpty() && ::geteuid() == 0 && !QFileInfo::exists("/usr/bin/setpriv"))
            QSKIP("setpriv (util-linux) is missing: the superuser writes into read-only folders without it");
        if (!readOnly.isEmpty() && ::geteuid() == 0)
            command
                = QStringList { "/usr/bin/setpriv", "--bounding-set=-dac_override,-dac_read_search", "--" } + command;
        const QString folder = QDir(dataset).filePath(readOnly);
        if (!readOnly.isEmpty())
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther));
        const QString program = command.takeFirst();
        const ToolRun run = runTool(program, command + arguments, m_home.path(), 120000);
        if (!readOnly.isEmpty())
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther);
        QFETCH(QByteArray, error);
        QVERIFY2(run.error.startsWith("halvex-export: ") && run.error.contains(error), run.error.constData());
        QTEST(run.exitCode, "exitCode");
        QCOMPARE(tree(dataset), before);
    }
};

QTEST_GUILESS_MAIN(tst_BidsExport)
#include "tst_bidsexport.moc"
