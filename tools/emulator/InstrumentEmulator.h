#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <vector>

class HeadModel;

// Serves a pseudo-terminal and streams instrument lines into it: numbers separated by single spaces, ended by LF,
// a fixed number of values per sample. Lines are only written while a reader has the terminal open, like an
// instrument whose output goes nowhere while no port listens. Faults can be switched on to exercise a reader. The
// values are a slow wave per channel, or the light of a model head with a pulse that answers stimuli on a timetable.
class InstrumentEmulator : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        double rate = 10.0; // lines per second
        int channels = 8;
        int valuesPerChannel = 2;
        qint64 count = 0; // lines to send before ending; 0 for no limit
        double seconds = 0.0; // run time before ending; 0 for no limit
        bool garble = false; // every seventh line carries one field that is not a number
        bool crlf = false; // CR LF instead of LF
        bool split = false; // every line in two writes with a pause between them
        bool stall = false; // a pause in the stream after every stallAfter lines
        qint64 stallAfter = 20;
        int stallMs = 3000;
        bool noFinalLineFeed = false; // the last line (with count) ends without its line feed
        int lingerMs = 1000; // keeps the terminal open after the last line so that the reader can take it
        bool slip = false; // the port goes away after every slipAfter lines and comes back slipMs later
        // As slip, but from the first drop on the port drops again as soon as a reader opens it (a connector that
        // makes contact for a moment only).
        bool flap = false;
        // Every time a reader opens the port it first gets the tail of a line: a real instrument sends whether a
        // port listens or not, so a port opened mid-stream starts inside a line.
        bool tail = false;
        qint64 slipAfter = 50;
        int slipMs = 1000;
        QString link; // a symbolic link kept pointing at the current terminal; empty for none
        // What the values are: a slow wave per channel, or the light of a model head (HeadModel).
        enum class Signal { Wave, Head };
        Signal signal = Signal::Wave;
        int badChannelEvery = 6; // the head's badly coupled channels; 0 for none
        double stimulusEvery = 0; // seconds between the head's responses; 0 for none
    };

    explicit InstrumentEmulator(const Options& options, QObject* parent = nullptr);
    ~InstrumentEmulator() override;

    // Creates the pseudo-terminal (and the link to it); returns the path a reader opens (e.g. /dev/pts/5) or an
    // empty string, with the reason in errorText().
    QString open();
    QString errorText() const { return m_errorText; }
    void start();

signals:
    void finished();
    // After a slip: the terminal came back under a new path (the link, if any, already points at it).
    void reopened(const QString& path);

private:
    void onTick();
    bool readerPresent() const;
    QByteArray makeLine();
    // The head lives on the clock whether a reader listens or not; a stimulus falls due on its time.
    void advanceHead();
    void writeTail();
    void writeAll(const QByteArray& bytes);
    void finish();
    void slipAway(qint64 now);
    bool updateLink(const QString& target);
    void removeLink();

    Options m_options;
    int m_master = -1;
    QString m_errorText;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_due = 0; // lines the clock has asked for so far, sent or not
    qint64 m_sent = 0;
    qint64 m_stallUntil = 0;
    qint64 m_slipUntil = -1; // while the port is away
    QString m_path;
    QByteArray m_line;
    bool m_finishing = false;
    bool m_readerWasPresent = false;
    bool m_flapping = false;
    std::unique_ptr<HeadModel> m_head;
    std::vector<double> m_headSample;
    double m_nextStimulus = 0;
};
