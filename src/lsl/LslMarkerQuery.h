#pragma once

#include <QString>
#include <QStringList>

// The marker streams to receive, as the LslMarkerStreams setting names them: one line per stream or group of
// streams, either a plain stream name or an LSL predicate (XPath 1.0 over the stream's description, such as
// "type='Markers'" or "starts-with(name,'Psycho')"). A line with "=" or "(" is a predicate.
//
// liblsl puts every predicate after "session_id='…' and ", so a predicate that closes more parentheses than it
// opens, or leaves a quote open, would reach past its own line and match streams of every session: such lines are
// refused, as is a name that holds both kinds of quote (XPath 1.0 has no escape for them).
class LslMarkerQuery
{
public:
    struct Line
    {
        QString text; // the line as written, trimmed
        QString predicate; // the predicate to resolve, in parentheses; empty when refused
        QString refusal; // why the line was refused, translated
    };

    static QList<Line> parse(const QString& setting);
    // The predicates of the lines that were not refused.
    static QStringList predicates(const QList<Line>& lines);
};
