#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QString>

#include <cstdint>
#include <cstdlib>

// What the fuzz targets share: one application object for the whole process (the fuzzer calls the entry function
// many times in one process), and the split of one input into several files.
namespace fuzz {

inline void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "halvex-fuzz";
    static char* argv[] = { name, nullptr };
    // Debug output of the parsers would cost more than the parsing.
    qputenv("QT_LOGGING_RULES", "*.debug=false");
    static QCoreApplication application(argc, argv);
}

// The separator between the files of one input: a line that no record, log or settings file holds.
inline constexpr char FileSeparator[] = "\n--8<--\n";

// The parts of the input between separators; missing parts are empty.
inline QList<QByteArray> splitInput(const uint8_t* data, size_t size, int parts)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QList<QByteArray> result;
    qsizetype start = 0;
    while (result.size() < parts - 1) {
        const qsizetype end = input.indexOf(FileSeparator, start);
        if (end < 0)
            break;
        result.append(input.mid(start, end - start));
        start = end + qsizetype(sizeof(FileSeparator) - 1);
    }
    result.append(input.mid(start));
    while (result.size() < parts)
        result.append(QByteArray());
    return result;
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort(); // the scratch folder itself failed: no finding of the parser
}

// A violated promise of the code under test: the fuzzer reports it like a crash.
inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace fuzz
