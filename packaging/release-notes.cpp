// Build step: writes the AppStream metadata and the Debian change log from the program's change log, so the
// release list is kept in one place.
#include "ReleaseNotes.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

bool writeFile(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.toUtf8()) >= 0 && file.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (arguments.size() != 7) {
        err << "usage: release-notes CHANGELOG METAINFO_TEMPLATE METAINFO_OUT DEBIAN_CHANGELOG_OUT PACKAGE "
               "MAINTAINER\n";
        return 2;
    }
    QFile changeLog(arguments.at(1));
    QFile templateFile(arguments.at(2));
    if (!changeLog.open(QIODevice::ReadOnly) || !templateFile.open(QIODevice::ReadOnly)) {
        err << "release-notes: cannot read " << arguments.at(1) << " or " << arguments.at(2) << '\n';
        return 1;
    }
    const QList<ReleaseNotes::Release> releases = ReleaseNotes::parse(QString::fromUtf8(changeLog.readAll()));
    if (releases.isEmpty()) {
        err << "release-notes: " << arguments.at(1) << " holds no version line such as \"1.0.3 (2025-12-17)\"\n";
        return 1;
    }
    const QString marker = QStringLiteral("    <!-- releases -->\n");
    QString metainfo = QString::fromUtf8(templateFile.readAll());
    if (!metainfo.contains(marker)) {
        err << "release-notes: " << arguments.at(2) << " has no line \"<!-- releases -->\"\n";
        return 1;
    }
    metainfo.replace(marker, ReleaseNotes::appStream(releases));
    if (!writeFile(arguments.at(3), metainfo)
        || !writeFile(arguments.at(4), ReleaseNotes::debianChangeLog(releases, arguments.at(5), arguments.at(6)))) {
        err << "release-notes: cannot write " << arguments.at(3) << " or " << arguments.at(4) << '\n';
        return 1;
    }
    return 0;
}
