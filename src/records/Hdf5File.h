#pragma once

#include "Hdf5FileDriver.h"

#include <QString>
#include <QStringList>

#include <vector>

// A thin layer over the HDF5 C library for writing one file straight to disk: groups, scalar and array datasets of
// numbers and strings, and large two-dimensional datasets of doubles, stored compressed and written a chunk of rows
// at a time, so that no dataset needs to be whole in memory. Every call checks its result; the first failure is
// kept in errorString() and makes every later call a no-op, so a writer checks once, at close(). A failing disk
// (full, or a file size limit) is reported with the system's reason and leaves the library able to close the file.
class Hdf5File
{
public:
    using Id = qint64; // hid_t

    Hdf5File() = default;
    ~Hdf5File();
    Hdf5File(const Hdf5File&) = delete;
    Hdf5File& operator=(const Hdf5File&) = delete;

    // Creates the file at path, emptying it when it exists; the root group is id 0 for the calls below.
    bool create(const QString& path);
    // Closes every group and dataset, then the file; false when anything failed since create(), and what is in the
    // file must then be thrown away.
    bool close();
    bool ok() const { return m_error.isEmpty(); }
    QString errorString() const { return m_error; }

    // A group below parent (0 for the root); closed with the file.
    Id group(Id parent, const QString& name);

    // Strings are stored as ASCII when they are, as UTF-8 otherwise.
    void writeString(Id parent, const QString& name, const QString& value);
    // A one-dimensional dataset, or values.size() × 1 when asColumn.
    void writeStrings(Id parent, const QString& name, const QStringList& values, bool asColumn = false);
    void writeInt(Id parent, const QString& name, int value);
    // A one-dimensional dataset, or rows × columns when columns > 0; for small datasets, written whole.
    void writeDoubles(Id parent, const QString& name, const std::vector<double>& values, qsizetype columns = 0);

    // A second name for the dataset at the absolute path target, sharing its storage.
    void link(Id parent, const QString& name, const QString& target);

    // A rows × columns dataset of doubles (one-dimensional, of rows, when columns is 0), compressed in chunks of
    // chunkRows(columns) rows and filled by writeRows in any order; written in whole chunks, front to back, it needs
    // no more memory than one chunk. Closed with the file.
    Id createMatrix(Id parent, const QString& name, qsizetype rows, qsizetype columns);
    static qsizetype chunkRows(qsizetype columns);
    void writeRows(Id matrix, qsizetype firstRow, qsizetype rowCount, qsizetype columns, const double* data);
    // Closes a matrix that is written: its last chunks go to the file and their cache is freed.
    void finishMatrix(Id matrix);

private:
    bool check(qint64 result, const QString& what);
    Id parentId(Id parent) const;
    Id createDataset(Id parent, const QString& name, Id type, Id space, Id creationList = 0);
    void writeText(Id parent, const QString& name, const QStringList& values, int rank, const qulonglong* dims);

    Id m_file = -1;
    std::vector<Id> m_open; // groups and datasets, closed in reverse order
    Hdf5FileDriver::State m_disk;
    QString m_error;
};
