#pragma once

#include <cstdint>

// A file driver for the HDF5 library that writes one file with plain POSIX calls and survives a failing disk. The
// library's own drivers leave a file whose last write failed half closed: H5Fclose fails, the file stays among the
// library's open objects, and the library's clean-up at process exit then crashes. This driver keeps the first
// failure (its errno) and from then on drops every write and truncation, so that closing always completes and
// releases the file; the caller reads the failure from the state and removes the file.
class Hdf5FileDriver
{
public:
    struct State
    {
        int error = 0; // errno of the first failed system call; 0 while none failed
    };

    // A new file access property list (hid_t) that opens files through this driver, reporting into state, which
    // must outlive the files opened with it; -1 when the library refuses. The caller closes the list.
    static std::int64_t accessList(State* state);
};
