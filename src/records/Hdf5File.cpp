#include "Hdf5File.h"

#include <QFile>

#include <hdf5.h>

#include <algorithm>
#include <type_traits>

static_assert(std::is_same_v<hid_t, qint64> || sizeof(hid_t) == sizeof(qint64), "hid_t is a 64-bit id");
static_assert(sizeof(hsize_t) == sizeof(qulonglong), "hsize_t is a 64-bit size");

namespace {

// The library prints its error stack to stderr by default; the caller reports failures itself.
void silenceLibrary()
{
    static const bool silenced = H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr) >= 0;
    Q_UNUSED(silenced)
}

// Doubles of neighbouring rows differ in their low bytes only: shuffled, they compress to about half. Level 4 made
// an hour at 1000 Hz 1 % smaller and its export 1.4 times slower.
constexpr unsigned DeflateLevel = 1;
constexpr qsizetype ChunkBytes = qsizetype(1) << 18;

class Handle
{
public:
    Handle(hid_t id, herr_t (*release)(hid_t))
        : m_id(id)
        , m_release(release)
    { }
    ~Handle()
    {
        if (m_id >= 0)
            m_release(m_id);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    operator hid_t() const { return m_id; }

private:
    hid_t m_id;
    herr_t (*m_release)(hid_t);
};

hid_t stringType(bool ascii)
{
    const hid_t type = H5Tcopy(H5T_C_S1);
    if (type >= 0
        && (H5Tset_size(type, H5T_VARIABLE) < 0 || H5Tset_cset(type, ascii ? H5T_CSET_ASCII : H5T_CSET_UTF8) < 0)) {
        H5Tclose(type);
        return -1;
    }
    return type;
}

} // namespace

Hdf5File::~Hdf5File()
{
    close();
}

bool Hdf5File::check(qint64 result, const QString& what)
{
    if (result < 0 && m_error.isEmpty()) {
        m_error = m_disk.error != 0 ? qt_error_string(m_disk.error)
                                    : QStringLiteral("cannot make %1 (out of memory?)").arg(what);
    }
    return result >= 0;
}

Hdf5File::Id Hdf5File::parentId(Id parent) const
{
    return parent == 0 ? m_file : parent;
}

Hdf5File::Id Hdf5File::createDataset(Id parent, const QString& name, Id type, Id space, Id creationList)
{
    return H5Dcreate2(parentId(parent), name.toUtf8().constData(), type, space, H5P_DEFAULT,
        creationList > 0 ? creationList : H5P_DEFAULT, H5P_DEFAULT);
}

bool Hdf5File::create(const QString& path)
{
    silenceLibrary();
    close();
    m_error.clear();
    m_disk = {};
    const Handle access(Hdf5FileDriver::accessList(&m_disk), H5Pclose);
    if (access < 0) {
        m_error = QStringLiteral("cannot set up the HDF5 library");
        return false;
    }
    m_file = H5Fcreate(QFile::encodeName(path).constData(), H5F_ACC_TRUNC, H5P_DEFAULT, access);
    if (m_file < 0)
        m_error = QStringLiteral("cannot make the file");
    return m_file >= 0;
}

// Every close is preceded by a flush: a file close whose writes fail leaves the file half closed, and the library
// crashes on it at exit, while after a failed flush the file driver drops every write and the close completes.
// Datasets are flushed too, so that closing them writes nothing either.
bool Hdf5File::close()
{
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it) {
        if (H5Iget_type(*it) == H5I_GROUP) {
            check(H5Gclose(*it), QStringLiteral("the file"));
        } else {
            check(H5Dflush(*it), QStringLiteral("the file"));
            check(H5Dclose(*it), QStringLiteral("the file"));
        }
    }
    m_open.clear();
    if (m_file < 0)
        return false;
    check(H5Fflush(m_file, H5F_SCOPE_LOCAL), QStringLiteral("the file"));
    check(H5Fclose(m_file), QStringLiteral("the file"));
    m_file = -1;
    // A write that failed while the library flushed its caches on closing shows only here.
    check(m_disk.error != 0 ? -1 : 0, QStringLiteral("the file"));
    return ok();
}

Hdf5File::Id Hdf5File::group(Id parent, const QString& name)
{
    if (!ok())
        return -1;
    const hid_t id = H5Gcreate2(parentId(parent), name.toUtf8().constData(), H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
    if (check(id, name))
        m_open.push_back(id);
    return id;
}

void Hdf5File::writeText(Id parent, const QString& name, const QStringList& values, int rank, const qulonglong* dims)
{
    if (!ok())
        return;
    std::vector<QByteArray> texts;
    std::vector<const char*> data;
    bool ascii = true;
    for (const QString& value : values) {
        texts.push_back(value.toUtf8());
        ascii
            = ascii && std::all_of(texts.back().cbegin(), texts.back().cend(), [](char c) { return uchar(c) < 0x80; });
    }
    for (const QByteArray& text : texts)
        data.push_back(text.constData());
    const Handle type(stringType(ascii), H5Tclose);
    const Handle space(rank == 0 ? H5Screate(H5S_SCALAR) : H5Screate_simple(rank, dims, nullptr), H5Sclose);
    const Handle set(type < 0 || space < 0 ? -1 : createDataset(parent, name, type, space), H5Dclose);
    // Strings are converted to the file's form through a buffer that the library allocates zeroed for every write,
    // 1 MB twice by default: a buffer sized to these strings' references made a record's export a third quicker.
    const Handle transfer(H5Pcreate(H5P_DATASET_XFER), H5Pclose);
    const size_t bufferBytes = std::max<size_t>(4096, data.size() * 2 * sizeof(hvl_t));
    const bool buffered = transfer >= 0 && H5Pset_buffer(transfer, bufferBytes, nullptr, nullptr) >= 0;
    check(set < 0 || data.empty() ? set
            : !buffered               ? -1
                                      : H5Dwrite(set, type, H5S_ALL, H5S_ALL, transfer, data.data()),
        name);
}

void Hdf5File::writeString(Id parent, const QString& name, const QString& value)
{
    writeText(parent, name, { value }, 0, nullptr);
}

void Hdf5File::writeStrings(Id parent, const QString& name, const QStringList& values, bool asColumn)
{
    const qulonglong dims[2] = { qulonglong(values.size()), 1 };
    writeText(parent, name, values, asColumn ? 2 : 1, dims);
}

void Hdf5File::writeInt(Id parent, const QString& name, int value)
{
    if (!ok())
        return;
    const Handle space(H5Screate(H5S_SCALAR), H5Sclose);
    const Handle set(space < 0 ? -1 : createDataset(parent, name, H5T_STD_I32LE, space), H5Dclose);
    check(set < 0 ? -1 : H5Dwrite(set, H5T_NATIVE_INT, H5S_ALL, H5S_ALL, H5P_DEFAULT, &value), name);
}

void Hdf5File::writeDoubles(Id parent, const QString& name, const std::vector<double>& values, qsizetype columns)
{
    if (!ok())
        return;
    const hsize_t dims[2]
        = { columns > 0 ? hsize_t(qsizetype(values.size()) / columns) : hsize_t(values.size()), hsize_t(columns) };
    const Handle space(H5Screate_simple(columns > 0 ? 2 : 1, dims, nullptr), H5Sclose);
    const Handle set(space < 0 ? -1 : createDataset(parent, name, H5T_IEEE_F64LE, space), H5Dclose);
    check(set < 0 || values.empty() ? set
                                    : H5Dwrite(set, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()),
        name);
}

qsizetype Hdf5File::chunkRows(qsizetype columns)
{
    return qMax<qsizetype>(1, ChunkBytes / qsizetype(sizeof(double)) / qMax<qsizetype>(1, columns));
}

Hdf5File::Id Hdf5File::createMatrix(Id parent, const QString& name, qsizetype rows, qsizetype columns)
{
    if (!ok())
        return -1;
    const int rank = columns > 0 ? 2 : 1;
    const hsize_t dims[2] = { hsize_t(rows), hsize_t(columns) };
    const Handle space(H5Screate_simple(rank, dims, nullptr), H5Sclose);
    const Handle creation(H5Pcreate(H5P_DATASET_CREATE), H5Pclose);
    // A chunk may not be larger than a dataset of fixed size, and an empty dataset has nothing to chunk.
    const hsize_t chunk[2] = { hsize_t(qMin(rows, chunkRows(columns))), hsize_t(columns) };
    const bool chunked = rows > 0 && (rank == 1 || columns > 0);
    const bool created = space >= 0 && creation >= 0
        && (!chunked
            || (H5Pset_chunk(creation, rank, chunk) >= 0 && H5Pset_shuffle(creation) >= 0
                && H5Pset_deflate(creation, DeflateLevel) >= 0));
    const hid_t id = created ? createDataset(parent, name, H5T_IEEE_F64LE, space, creation) : -1;
    if (check(id, name))
        m_open.push_back(id);
    return id;
}

void Hdf5File::writeRows(Id matrix, qsizetype firstRow, qsizetype rowCount, qsizetype columns, const double* data)
{
    if (!ok() || rowCount <= 0)
        return;
    const Handle fileSpace(H5Dget_space(matrix), H5Sclose);
    const int rank = columns > 0 ? 2 : 1;
    const hsize_t start[2] = { hsize_t(firstRow), 0 };
    const hsize_t count[2] = { hsize_t(rowCount), hsize_t(columns) };
    const Handle memorySpace(H5Screate_simple(rank, count, nullptr), H5Sclose);
    const bool selected = fileSpace >= 0 && memorySpace >= 0
        && H5Sselect_hyperslab(fileSpace, H5S_SELECT_SET, start, nullptr, count, nullptr) >= 0;
    check(selected ? H5Dwrite(matrix, H5T_NATIVE_DOUBLE, memorySpace, fileSpace, H5P_DEFAULT, data) : -1,
        QStringLiteral("the data"));
}

void Hdf5File::finishMatrix(Id matrix)
{
    const auto it = std::find(m_open.begin(), m_open.end(), matrix);
    if (it == m_open.end())
        return;
    m_open.erase(it);
    check(H5Dflush(matrix), QStringLiteral("the data"));
    check(H5Dclose(matrix), QStringLiteral("the data"));
}

void Hdf5File::link(Id parent, const QString& name, const QString& target)
{
    if (!ok())
        return;
    check(H5Lcreate_hard(m_file, target.toUtf8().constData(), parentId(parent), name.toUtf8().constData(), H5P_DEFAULT,
              H5P_DEFAULT),
        name);
}
