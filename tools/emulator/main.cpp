#include "CommandLine.h"
#include "InstrumentEmulator.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);

    // Installed for trying and testing only, under a name that says so.
    CommandLine commandLine(QStringLiteral(HALVEX_EMULATOR_NAME),
        QStringLiteral(
            "Serves a pseudo-terminal that behaves like an FNIR instrument: prints the port path on the first line of "
            "its output, then streams one sample line per tick while a program has the port open. For trying and "
            "testing the serial path without an instrument; with --signal head, for trying the haemoglobin view and "
            "the signal check on it."),
        CommandLine::VersionLetter::No);
    QCommandLineParser& parser = commandLine.parser();
    const QCommandLineOption rate({ QStringLiteral("r"), QStringLiteral("rate") },
        QStringLiteral("Lines per second (default 10)."), QStringLiteral("hz"), QStringLiteral("10"));
    const QCommandLineOption channels({ QStringLiteral("c"), QStringLiteral("channels") },
        QStringLiteral("Number of channels (default 8)."), QStringLiteral("n"), QStringLiteral("8"));
    const QCommandLineOption values({ QStringLiteral("v"), QStringLiteral("values") },
        QStringLiteral("Values per channel, 2 or 3 (default 2)."), QStringLiteral("n"), QStringLiteral("2"));
    const QCommandLineOption count({ QStringLiteral("n"), QStringLiteral("count") },
        QStringLiteral("End after sending this many lines (default: no limit)."), QStringLiteral("lines"),
        QStringLiteral("0"));
    const QCommandLineOption seconds({ QStringLiteral("s"), QStringLiteral("seconds") },
        QStringLiteral("End after this many seconds (default: no limit)."), QStringLiteral("seconds"),
        QStringLiteral("0"));
    const QCommandLineOption fault({ QStringLiteral("f"), QStringLiteral("fault") },
        QStringLiteral(
            "Fault to inject, repeatable or comma-separated: garble, crlf, split, stall, no-final-lf, slip, flap, "
            "tail."),
        QStringLiteral("fault"));
    const QCommandLineOption stallAfter(QStringLiteral("stall-after"),
        QStringLiteral("With the stall fault: lines between stalls (default 20)."), QStringLiteral("lines"),
        QStringLiteral("20"));
    const QCommandLineOption stallMs(QStringLiteral("stall-ms"),
        QStringLiteral("With the stall fault: length of a stall in ms (default 3000)."), QStringLiteral("ms"),
        QStringLiteral("3000"));
    const QCommandLineOption lingerMs(QStringLiteral("linger-ms"),
        QStringLiteral("Time the port stays open after the last line, in ms (default 1000)."), QStringLiteral("ms"),
        QStringLiteral("1000"));
    const QCommandLineOption slipAfter(QStringLiteral("slip-after"),
        QStringLiteral("With the slip or flap fault: lines between drops of the port (default 50)."),
        QStringLiteral("lines"), QStringLiteral("50"));
    const QCommandLineOption slipMs(QStringLiteral("slip-ms"),
        QStringLiteral("With the slip or flap fault: how long the port stays away in ms (default 1000)."),
        QStringLiteral("ms"), QStringLiteral("1000"));
    const QCommandLineOption link(QStringLiteral("link"),
        QStringLiteral("Keep a symbolic link at this path pointing at the port, so that the port keeps one path "
                       "across restarts and slips."),
        QStringLiteral("path"));
    const QCommandLineOption signal(QStringLiteral("signal"),
        QStringLiteral(
            "What the values are: wave (a slow wave per channel, the default) or head (the light of a model head with "
            "a cardiac pulse, breath, Mayer waves and badly coupled channels, as the program's virtual head sends "
            "it; with 3 values per channel V, R and IR, else R and IR)."),
        QStringLiteral("signal"), QStringLiteral("wave"));
    const QCommandLineOption badEvery(QStringLiteral("bad-every"),
        QStringLiteral("With the head: every n-th channel is badly coupled (default 6; 0 for none)."),
        QStringLiteral("n"), QStringLiteral("6"));
    const QCommandLineOption stimulusEvery(QStringLiteral("stimulus-every"),
        QStringLiteral("With the head: a haemodynamic response on the first half of the channels every this many "
                       "seconds, the first after as many (default 0: none)."),
        QStringLiteral("seconds"), QStringLiteral("0"));
    parser.addOptions({ rate, channels, values, count, seconds, fault, stallAfter, stallMs, lingerMs, slipAfter, slipMs,
        link, signal, badEvery, stimulusEvery });
    if (const std::optional<int> answered = commandLine.parse(QCoreApplication::arguments()))
        return *answered;

    QTextStream err(stderr);
    InstrumentEmulator::Options options;
    bool ok = true;
    const auto number = [&](const QCommandLineOption& option, double low, double high) {
        bool valid = false;
        const double value = parser.value(option).toDouble(&valid);
        if (!valid || value < low || value > high) {
            err << HALVEX_EMULATOR_NAME ": --" << option.names().constLast() << " must lie in [" << low << ", " << high
                << "]\n";
            ok = false;
        }
        return value;
    };
    options.rate = number(rate, 0.01, 2000);
    options.channels = int(number(channels, 1, 1000));
    options.valuesPerChannel = int(number(values, 2, 3));
    options.count = qint64(number(count, 0, 1e12));
    options.seconds = number(seconds, 0, 1e9);
    options.stallAfter = qint64(number(stallAfter, 1, 1e12));
    options.stallMs = int(number(stallMs, 0, 3600000));
    options.lingerMs = int(number(lingerMs, 0, 3600000));
    options.slipAfter = qint64(number(slipAfter, 1, 1e12));
    options.slipMs = int(number(slipMs, 0, 3600000));
    options.link = parser.value(link);
    options.badChannelEvery = int(number(badEvery, 0, 1000));
    options.stimulusEvery = number(stimulusEvery, 0, 1e6);
    if (parser.value(signal) == QLatin1String("head")) {
        options.signal = InstrumentEmulator::Options::Signal::Head;
    } else if (parser.value(signal) != QLatin1String("wave")) {
        err << HALVEX_EMULATOR_NAME ": unknown signal " << parser.value(signal) << '\n';
        ok = false;
    }
    const QStringList faults = parser.values(fault).join(QLatin1Char(',')).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& name : faults) {
        if (name == QLatin1String("garble"))
            options.garble = true;
        else if (name == QLatin1String("crlf"))
            options.crlf = true;
        else if (name == QLatin1String("split"))
            options.split = true;
        else if (name == QLatin1String("stall"))
            options.stall = true;
        else if (name == QLatin1String("no-final-lf"))
            options.noFinalLineFeed = true;
        else if (name == QLatin1String("slip"))
            options.slip = true;
        else if (name == QLatin1String("flap"))
            options.flap = true;
        else if (name == QLatin1String("tail"))
            options.tail = true;
        else {
            err << HALVEX_EMULATOR_NAME ": unknown fault " << name << '\n';
            ok = false;
        }
    }
    if (!ok)
        return CommandLine::UsageError;

    InstrumentEmulator emulator(options);
    const QString path = emulator.open();
    if (path.isEmpty()) {
        err << HALVEX_EMULATOR_NAME ": cannot create a pseudo-terminal: " << emulator.errorText() << '\n';
        return CommandLine::Failure;
    }
    // The link, when there is one, is the path to give the reader: it stays the same across slips and restarts.
    // Without one, every return from a slip prints the new path on a line of its own.
    std::printf("%s\n", qPrintable(options.link.isEmpty() ? path : options.link));
    std::fflush(stdout);
    if (options.link.isEmpty()) {
        QObject::connect(&emulator, &InstrumentEmulator::reopened, &app, [](const QString& port) {
            std::printf("%s\n", qPrintable(port));
            std::fflush(stdout);
        });
    }

    QObject::connect(&emulator, &InstrumentEmulator::finished, &app, &QCoreApplication::quit);
    emulator.start();
    return app.exec();
}
