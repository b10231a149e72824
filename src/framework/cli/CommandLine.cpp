#include "CommandLine.h"

#include <QTextStream>

#include <cstdio>

CommandLine::CommandLine(const QString& program, const QString& description, VersionLetter letter)
    : m_program(program)
    , m_help({ QStringLiteral("h"), QStringLiteral("help") }, QStringLiteral("Show this help and exit."))
    , m_version(letter == VersionLetter::Yes ? QStringList { QStringLiteral("v"), QStringLiteral("version") }
                                             : QStringList { QStringLiteral("version") },
          QStringLiteral("Show the version and exit."))
{
    m_parser.setApplicationDescription(description);
    // Qt's own options are single-dash words (-platform, -style); with this mode "-h" and "-v" still work.
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
}

void CommandLine::acceptQtGuiOptions()
{
    const auto add = [this](const char* name, bool takesValue) {
        QCommandLineOption option(QString::fromLatin1(name));
        if (takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        m_parser.addOption(option);
    };
    for (const char* name :
        { "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon", "qwindowtitle",
            "style", "stylesheet", "session", "display", "geometry", "title", "name", "icon", "qmljsdebugger" })
        add(name, true);
    for (const char* name : { "reverse", "widgetcount", "nograb", "dograb", "sync" })
        add(name, false);
}

QStringList CommandLine::arguments(int argc, char** argv)
{
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list.append(QString::fromLocal8Bit(argv[i]));
    return list;
}

std::optional<int> CommandLine::parse(int argc, char** argv, qsizetype maxPositional)
{
    return parse(arguments(argc, argv), maxPositional);
}

std::optional<int> CommandLine::parse(const QStringList& arguments, qsizetype maxPositional)
{
    if (!m_parser.parse(arguments))
        return usageError(m_parser.errorText());
    // Help first: "--help --bogus-value" still shows the help a user asked for.
    if (m_parser.isSet(m_help)) {
        QTextStream(stdout) << helpText();
        return Success;
    }
    if (m_parser.isSet(m_version)) {
        QTextStream out(stdout);
        out << m_program << ' ' << HALVEX_VERSION << '\n';
        if (!m_versionDetails.isEmpty())
            out << m_versionDetails << '\n';
        return Success;
    }
    const QStringList positional = m_parser.positionalArguments();
    if (positional.size() > maxPositional)
        return usageError(QStringLiteral("unexpected argument \"%1\"").arg(positional.at(maxPositional)));
    return std::nullopt;
}

void CommandLine::message(const QString& text) const
{
    QTextStream(stderr) << m_program << ": " << text << '\n';
}

int CommandLine::usageError(const QString& message) const
{
    this->message(message);
    QTextStream(stderr) << '\n' << helpText();
    return UsageError;
}

QString CommandLine::helpText() const
{
    // Without an application object the parser names the program "<executable_name>"; with one, by the path it
    // was started with. The help reads the same either way, and man pages made from it name the command.
    QString text = m_parser.helpText();
    const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'));
    const QString usage = QStringLiteral("Usage: ");
    if (text.startsWith(usage) && lineEnd > 0) {
        const QString firstLine = text.left(lineEnd);
        const QString options = QStringLiteral(" [options]");
        const qsizetype rest = firstLine.indexOf(options);
        if (rest > 0)
            text.replace(0, rest, usage + m_program);
    }
    return text;
}
