#pragma once

#include <QString>

// The names of a record's files. A record is its ".csv" file; its companions (".raw", ".ini", ".events", and the
// ".log" that a stimulus program writes) carry the same name with that suffix replaced. Only the suffix: a title or
// a folder may hold ".csv" too. Records written before this rule had every ".csv" of the file name replaced, so a
// title holding ".csv" changed in the companions' names as well; readers still find them.
class RecordFiles
{
public:
    // The companion of the record's ".csv" or ".raw" file; a name with neither suffix gets the extension appended.
    static QString companion(const QString& recordPath, const QString& extension);
    // The companion to read: companion() when that file exists or no other name is possible; otherwise the name
    // with every occurrence of the suffix in the file name replaced, when such a file exists.
    static QString existing(const QString& recordPath, const QString& extension);
};
