#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// A thin layer over the HDF5 C library for making one file in memory: groups, scalar and array datasets of numbers
// and UTF-8 strings, and two-dimensional datasets written a block of rows at a time; finish() hands over the bytes
// of the file. Every call checks its result; the first failure is kept in errorString() and makes every later call
// a no-op, so a writer checks once at the end.
class Hdf5File
{
public:
    using Id = qint64; // hid_t

    Hdf5File() = default;
    ~Hdf5File();
    Hdf5File(const Hdf5File&) = delete;
    Hdf5File& operator=(const Hdf5File&) = delete;

    // Starts an empty file, expected to grow to about sizeHint bytes; the root group is id 0 for the calls below.
    bool create(qint64 sizeHint);
    // Closes the file and gives its bytes; false (and no bytes) when anything failed since create().
    bool finish(QByteArray& image);
    bool ok() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }

    // A group below parent (0 for the root); closed with the file.
    Id group(Id parent, const QString& name);

    void writeString(Id parent, const QString& name, const QString& value);
    void writeStrings(Id parent, const QString& name, const QStringList& values);
    void writeInt(Id parent, const QString& name, int value);
    // A one-dimensional dataset, or rows × columns when columns > 0.
    void writeDoubles(Id parent, const QString& name, const std::vector<double>& values, qsizetype columns = 0);

    // A second name for the dataset at the absolute path target, sharing its storage.
    void link(Id parent, const QString& name, const QString& target);

    // A rows × columns dataset of doubles, filled by writeRows in any order; closed with the file.
    Id createMatrix(Id parent, const QString& name, qsizetype rows, qsizetype columns);
    void writeRows(Id matrix, qsizetype firstRow, qsizetype rowCount, qsizetype columns, const double* data);

private:
    bool check(qint64 result, const QString& what);
    Id parentId(Id parent) const;
    Id createDataset(Id parent, const QString& name, Id type, Id space);

    Id m_file = -1;
    std::vector<Id> m_open; // groups and datasets, closed in reverse order
    QString m_error;
};
