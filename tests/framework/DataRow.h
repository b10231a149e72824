#pragma once

#include <QTest>

// addRow("tag", a, b) is QTest::newRow("tag") << a << b, one row to a line. Values are taken by value so that a
// string literal reaches QTestData as const char*, which fills a QString column.
template<typename... Values> void addRow(const char* tag, Values... values)
{
    (QTest::newRow(tag) << ... << values);
}
