#pragma once

#include <QDoubleSpinBox>
#include <QList>

// A spin box for doubles that steps through preferred values (1, 2, 5, 10 ...) where it has them, and by its
// single step elsewhere.
class SuggestionDoubleSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
public:
    explicit SuggestionDoubleSpinBox(QWidget* parent = nullptr);

    // Sorted and freed of duplicates; values outside the range are never reached.
    void setSuggestions(const QList<double>& values);
    QList<double> suggestions() const { return m_suggestions; }
    // The preferred values written as "0.1;0.5;1" (";" or "," between them); unreadable pieces are dropped.
    static QList<double> parseSuggestions(const QString& text);

    void stepBy(int steps) override;

private:
    QList<double> m_suggestions;
};
