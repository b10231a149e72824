#include "LslMarkerQuery.h"

#include "LanguageContext.h"

namespace {

// Empty when the predicate keeps within its parentheses, else what is wrong.
QString unbalanced(const QString& predicate)
{
    QChar quote;
    int depth = 0;
    for (const QChar c : predicate) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
        } else if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')') && --depth < 0) {
            return trGeneric("a parenthesis closes that was not opened");
        }
    }
    if (!quote.isNull())
        return trGeneric("a quote is not closed");
    if (depth > 0)
        return trGeneric("a parenthesis is not closed");
    return QString();
}

} // namespace

QList<LslMarkerQuery::Line> LslMarkerQuery::parse(const QString& setting)
{
    QList<Line> lines;
    for (const QString& raw : setting.split(QLatin1Char('\n'))) {
        Line line;
        line.text = raw.trimmed();
        if (line.text.isEmpty())
            continue;
        const bool predicate = line.text.contains(QLatin1Char('=')) || line.text.contains(QLatin1Char('('));
        if (predicate) {
            line.refusal = unbalanced(line.text);
            if (line.refusal.isEmpty())
                line.predicate = QLatin1Char('(') + line.text + QLatin1Char(')');
        } else if (!line.text.contains(QLatin1Char('\''))) {
            line.predicate = QStringLiteral("(name='") + line.text + QStringLiteral("')");
        } else if (!line.text.contains(QLatin1Char('"'))) {
            line.predicate = QStringLiteral("(name=\"") + line.text + QStringLiteral("\")");
        } else {
            line.refusal = trGeneric("a stream name cannot hold both ' and \"");
        }
        lines.append(line);
    }
    return lines;
}

QStringList LslMarkerQuery::predicates(const QList<Line>& lines)
{
    QStringList result;
    for (const Line& line : lines) {
        if (!line.predicate.isEmpty())
            result.append(line.predicate);
    }
    return result;
}
