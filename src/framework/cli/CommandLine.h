#pragma once

#include <QCommandLineParser>
#include <QStringList>

#include <optional>

// The conventions every program of the project keeps on its command line: -h/--help and -v/--version print to
// the standard output and end with 0; a wrong command line prints what is wrong and the usage to the standard
// error and ends with 2. Parsing needs no application object, so a GUI program answers without a display.
class CommandLine
{
public:
    enum ExitCode { Success = 0, Failure = 1, UsageError = 2 };

    // A tool whose -v already means something else keeps it; its version is then --version only.
    enum class VersionLetter { Yes, No };

    CommandLine(const QString& program, const QString& description, VersionLetter letter = VersionLetter::Yes);

    QCommandLineParser& parser() { return m_parser; }
    const QCommandLineParser& parser() const { return m_parser; }

    // Options that the application object takes for itself (Qt's -platform, -style and the like): accepted and
    // left alone, and not shown in the help.
    void acceptQtGuiOptions();

    // Lines printed under the version (what the build has or lacks).
    void setVersionDetails(const QString& details) { m_versionDetails = details; }

    // Parses; returns the exit code when the program has answered (help, version, wrong command line), nothing
    // when it goes on. More positional arguments than maxPositional are a usage error.
    std::optional<int> parse(const QStringList& arguments, qsizetype maxPositional = 0);
    std::optional<int> parse(int argc, char** argv, qsizetype maxPositional = 0);

    // "<program>: <message>" on the standard error.
    void message(const QString& text) const;
    // The message, an empty line and the usage on the standard error; returns UsageError.
    int usageError(const QString& message) const;
    QString helpText() const;

    static QStringList arguments(int argc, char** argv);

private:
    QString m_program;
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
    QString m_versionDetails;
};
