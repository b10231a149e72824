#include "Hdf5FileDriver.h"

#include <hdf5.h>

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the file access property list carries to open(); the library copies it bytewise.
struct Info
{
    Hdf5FileDriver::State* state;
};

struct File
{
    H5FD_t base; // first member: the library hands this struct around as an H5FD_t
    int fd;
    haddr_t eoa; // the end of the space the library has allocated
    haddr_t eof; // the end of what is in the file
    dev_t device;
    ino_t inode;
    Hdf5FileDriver::State* state;
};

File* fileOf(H5FD_t* file)
{
    return reinterpret_cast<File*>(file);
}

const File* fileOf(const H5FD_t* file)
{
    return reinterpret_cast<const File*>(file);
}

herr_t fail(File* file, int error)
{
    if (file->state->error == 0)
        file->state->error = error != 0 ? error : EIO;
    return -1;
}

bool outside(const File* file, haddr_t address, size_t size)
{
    return address == HADDR_UNDEF || size > file->eoa || address > file->eoa - size;
}

H5FD_t* openFile(const char* name, unsigned flags, hid_t accessList, haddr_t maxAddress)
{
    const auto* info = static_cast<const Info*>(H5Pget_driver_info(accessList));
    if (name == nullptr || info == nullptr || info->state == nullptr || maxAddress == 0 || maxAddress == HADDR_UNDEF)
        return nullptr;
    int mode = (flags & H5F_ACC_RDWR) != 0 ? O_RDWR : O_RDONLY;
    if ((flags & H5F_ACC_TRUNC) != 0)
        mode |= O_TRUNC;
    if ((flags & H5F_ACC_CREAT) != 0)
        mode |= O_CREAT;
    if ((flags & H5F_ACC_EXCL) != 0)
        mode |= O_EXCL;
    const int fd = ::open(name, mode | O_CLOEXEC, 0666);
    struct stat status = {};
    // A failed open is no failure of the file: the library first probes whether a file it is to create exists.
    if (fd < 0 || ::fstat(fd, &status) < 0) {
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    File* file = new File {};
    file->fd = fd;
    file->eof = haddr_t(status.st_size);
    file->device = status.st_dev;
    file->inode = status.st_ino;
    file->state = info->state;
    return &file->base;
}

herr_t closeFile(H5FD_t* base)
{
    File* file = fileOf(base);
    // A close that fails (a delayed write error) is kept like any other; the descriptor is gone either way.
    if (::close(file->fd) < 0 && file->state->error == 0)
        file->state->error = errno;
    delete file;
    return 0;
}

int compareFiles(const H5FD_t* a, const H5FD_t* b)
{
    const File* first = fileOf(a);
    const File* second = fileOf(b);
    if (first->device != second->device)
        return first->device < second->device ? -1 : 1;
    if (first->inode != second->inode)
        return first->inode < second->inode ? -1 : 1;
    return 0;
}

herr_t queryFeatures(const H5FD_t*, unsigned long* flags)
{
    if (flags != nullptr)
        *flags = H5FD_FEAT_AGGREGATE_METADATA | H5FD_FEAT_ACCUMULATE_METADATA | H5FD_FEAT_DATA_SIEVE
            | H5FD_FEAT_AGGREGATE_SMALLDATA;
    return 0;
}

haddr_t endOfAllocation(const H5FD_t* file, H5FD_mem_t)
{
    return fileOf(file)->eoa;
}

herr_t setEndOfAllocation(H5FD_t* file, H5FD_mem_t, haddr_t address)
{
    fileOf(file)->eoa = address;
    return 0;
}

haddr_t endOfFile(const H5FD_t* file, H5FD_mem_t)
{
    return fileOf(file)->eof;
}

herr_t handleOf(H5FD_t* file, hid_t, void** handle)
{
    *handle = &fileOf(file)->fd;
    return 0;
}

herr_t readFile(H5FD_t* base, H5FD_mem_t, hid_t, haddr_t address, size_t size, void* buffer)
{
    File* file = fileOf(base);
    if (outside(file, address, size))
        return -1;
    auto* out = static_cast<unsigned char*>(buffer);
    while (size > 0) {
        const ssize_t done = ::pread(file->fd, out, size, off_t(address));
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return fail(file, errno);
        if (done == 0) {
            // Allocated but never written: zeros, as the library expects.
            std::fill(out, out + size, 0);
            break;
        }
        out += done;
        address += haddr_t(done);
        size -= size_t(done);
    }
    return 0;
}

herr_t writeFile(H5FD_t* base, H5FD_mem_t, hid_t, haddr_t address, size_t size, const void* buffer)
{
    File* file = fileOf(base);
    // The file is lost once a write failed; what the library still writes while closing goes nowhere.
    if (file->state->error != 0)
        return 0;
    if (outside(file, address, size))
        return fail(file, EINVAL);
    const auto* in = static_cast<const unsigned char*>(buffer);
    while (size > 0) {
        const ssize_t done = ::pwrite(file->fd, in, size, off_t(address));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return fail(file, done < 0 ? errno : ENOSPC);
        in += done;
        address += haddr_t(done);
        size -= size_t(done);
    }
    if (address > file->eof)
        file->eof = address;
    return 0;
}

herr_t truncateFile(H5FD_t* base, hid_t, hbool_t)
{
    File* file = fileOf(base);
    if (file->eoa == file->eof)
        return 0;
    if (file->state->error == 0 && ::ftruncate(file->fd, off_t(file->eoa)) < 0)
        return fail(file, errno);
    file->eof = file->eoa;
    return 0;
}

hid_t driverId()
{
    static const hid_t id = [] {
        H5FD_class_t driver = {};
        driver.name = "halvex-posix";
        driver.maxaddr = (haddr_t(1) << (8 * sizeof(off_t) - 1)) - 1;
        driver.fc_degree = H5F_CLOSE_WEAK;
        driver.fapl_size = sizeof(Info);
        driver.open = openFile;
        driver.close = closeFile;
        driver.cmp = compareFiles;
        driver.query = queryFeatures;
        driver.get_eoa = endOfAllocation;
        driver.set_eoa = setEndOfAllocation;
        driver.get_eof = endOfFile;
        driver.get_handle = handleOf;
        driver.read = readFile;
        driver.write = writeFile;
        driver.truncate = truncateFile;
        const H5FD_mem_t map[H5FD_MEM_NTYPES] = H5FD_FLMAP_DICHOTOMY;
        std::copy(map, map + H5FD_MEM_NTYPES, driver.fl_map);
        return H5FDregister(&driver);
    }();
    return id;
}

} // namespace

std::int64_t Hdf5FileDriver::accessList(State* state)
{
    const hid_t driver = driverId();
    if (driver < 0)
        return -1;
    const hid_t list = H5Pcreate(H5P_FILE_ACCESS);
    const Info info = { state };
    if (list >= 0 && H5Pset_driver(list, driver, &info) < 0) {
        H5Pclose(list);
        return -1;
    }
    return list;
}
