#pragma once

#include <QTest>

#include <array>

// addRow("tag", a, b) is QTest::newRow("tag") << a << b, one row to a line. Values are taken by value so that a
// string literal reaches QTestData as const char*, which fills a QString column.
template<typename... Values> void addRow(const char* tag, Values... values)
{
    (QTest::newRow(tag) << ... << values);
}

// addColumns<int, QString>({ "count", "name" }) declares the columns of a table in one statement, in order.
template<typename... Types> void addColumns(const std::array<const char*, sizeof...(Types)>& names)
{
    std::size_t i = 0;
    (QTest::addColumn<Types>(names[i++]), ...);
}
