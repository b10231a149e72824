#include "Hdf5File.h"

#include <hdf5.h>

#include <type_traits>

static_assert(std::is_same_v<hid_t, qint64> || sizeof(hid_t) == sizeof(qint64), "hid_t is a 64-bit id");

namespace {

// The library prints its error stack to stderr by default; the caller reports failures itself.
void silenceLibrary()
{
    static const bool silenced = H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr) >= 0;
    Q_UNUSED(silenced)
}

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

hid_t utf8StringType()
{
    const hid_t type = H5Tcopy(H5T_C_S1);
    if (type >= 0 && (H5Tset_size(type, H5T_VARIABLE) < 0 || H5Tset_cset(type, H5T_CSET_UTF8) < 0)) {
        H5Tclose(type);
        return -1;
    }
    return type;
}

} // namespace

Hdf5File::~Hdf5File()
{
    QByteArray discarded;
    finish(discarded);
}

bool Hdf5File::check(qint64 result, const QString& what)
{
    if (result < 0 && m_error.isEmpty())
        m_error = QStringLiteral("cannot make %1 (out of memory?)").arg(what);
    return result >= 0;
}

Hdf5File::Id Hdf5File::parentId(Id parent) const
{
    return parent == 0 ? m_file : parent;
}

Hdf5File::Id Hdf5File::createDataset(Id parent, const QString& name, Id type, Id space)
{
    return H5Dcreate2(parentId(parent), name.toUtf8().constData(), type, space, H5P_DEFAULT, H5P_DEFAULT, H5P_DEFAULT);
}

bool Hdf5File::create(qint64 sizeHint)
{
    silenceLibrary();
    m_error.clear();
    // The file is made in memory and handed over as one image: the library then never meets a failing disk, whose
    // errors it does not always recover from (a failed close leaves the file open until the process exits).
    const Handle access(H5Pcreate(H5P_FILE_ACCESS), H5Pclose);
    const size_t increment = size_t(qBound<qint64>(qint64(1) << 20, sizeHint, qint64(1) << 30));
    if (access < 0 || H5Pset_fapl_core(access, increment, false) < 0) {
        m_error = QStringLiteral("cannot set up the HDF5 library");
        return false;
    }
    m_file = H5Fcreate("memory", H5F_ACC_TRUNC, H5P_DEFAULT, access);
    if (m_file < 0)
        m_error = QStringLiteral("cannot make the file in memory");
    return m_file >= 0;
}

bool Hdf5File::finish(QByteArray& image)
{
    image.clear();
    for (auto it = m_open.rbegin(); it != m_open.rend(); ++it)
        check(H5Iget_type(*it) == H5I_GROUP ? H5Gclose(*it) : H5Dclose(*it), QStringLiteral("the file"));
    m_open.clear();
    if (m_file < 0)
        return false;
    if (ok() && check(H5Fflush(m_file, H5F_SCOPE_GLOBAL), QStringLiteral("the file"))) {
        const ssize_t size = H5Fget_file_image(m_file, nullptr, 0);
        if (check(size, QStringLiteral("the file"))) {
            image.resize(qsizetype(size));
            if (!check(H5Fget_file_image(m_file, image.data(), size_t(size)), QStringLiteral("the file")))
                image.clear();
        }
    }
    check(H5Fclose(m_file), QStringLiteral("the file"));
    m_file = -1;
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

void Hdf5File::writeString(Id parent, const QString& name, const QString& value)
{
    if (!ok())
        return;
    const Handle type(utf8StringType(), H5Tclose);
    const Handle space(H5Screate(H5S_SCALAR), H5Sclose);
    const Handle set(createDataset(parent, name, type, space), H5Dclose);
    const QByteArray text = value.toUtf8();
    const char* data = text.constData();
    check(set < 0 ? -1 : H5Dwrite(set, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, &data), name);
}

void Hdf5File::writeStrings(Id parent, const QString& name, const QStringList& values)
{
    if (!ok())
        return;
    std::vector<QByteArray> texts;
    std::vector<const char*> data;
    for (const QString& value : values)
        texts.push_back(value.toUtf8());
    for (const QByteArray& text : texts)
        data.push_back(text.constData());
    const hsize_t size = hsize_t(values.size());
    const Handle type(utf8StringType(), H5Tclose);
    const Handle space(H5Screate_simple(1, &size, nullptr), H5Sclose);
    const Handle set(createDataset(parent, name, type, space), H5Dclose);
    check(set < 0 ? -1 : H5Dwrite(set, type, H5S_ALL, H5S_ALL, H5P_DEFAULT, data.data()), name);
}

void Hdf5File::writeInt(Id parent, const QString& name, int value)
{
    if (!ok())
        return;
    const Handle space(H5Screate(H5S_SCALAR), H5Sclose);
    const Handle set(createDataset(parent, name, H5T_STD_I32LE, space), H5Dclose);
    check(set < 0 ? -1 : H5Dwrite(set, H5T_NATIVE_INT, H5S_ALL, H5S_ALL, H5P_DEFAULT, &value), name);
}

void Hdf5File::writeDoubles(Id parent, const QString& name, const std::vector<double>& values, qsizetype columns)
{
    if (!ok())
        return;
    const hsize_t dims[2]
        = { columns > 0 ? hsize_t(qsizetype(values.size()) / columns) : hsize_t(values.size()), hsize_t(columns) };
    const Handle space(H5Screate_simple(columns > 0 ? 2 : 1, dims, nullptr), H5Sclose);
    const Handle set(createDataset(parent, name, H5T_IEEE_F64LE, space), H5Dclose);
    check(set < 0 || values.empty() ? set
                                    : H5Dwrite(set, H5T_NATIVE_DOUBLE, H5S_ALL, H5S_ALL, H5P_DEFAULT, values.data()),
        name);
}

Hdf5File::Id Hdf5File::createMatrix(Id parent, const QString& name, qsizetype rows, qsizetype columns)
{
    if (!ok())
        return -1;
    const hsize_t dims[2] = { hsize_t(rows), hsize_t(columns) };
    const Handle space(H5Screate_simple(2, dims, nullptr), H5Sclose);
    const hid_t id = createDataset(parent, name, H5T_IEEE_F64LE, space);
    if (check(id, name))
        m_open.push_back(id);
    return id;
}

void Hdf5File::writeRows(Id matrix, qsizetype firstRow, qsizetype rowCount, qsizetype columns, const double* data)
{
    if (!ok() || rowCount <= 0)
        return;
    const Handle fileSpace(H5Dget_space(matrix), H5Sclose);
    const hsize_t start[2] = { hsize_t(firstRow), 0 };
    const hsize_t count[2] = { hsize_t(rowCount), hsize_t(columns) };
    const Handle memorySpace(H5Screate_simple(2, count, nullptr), H5Sclose);
    const bool selected
        = fileSpace >= 0 && H5Sselect_hyperslab(fileSpace, H5S_SELECT_SET, start, nullptr, count, nullptr) >= 0;
    check(selected ? H5Dwrite(matrix, H5T_NATIVE_DOUBLE, memorySpace, fileSpace, H5P_DEFAULT, data) : -1,
        QStringLiteral("the data"));
}

void Hdf5File::link(Id parent, const QString& name, const QString& target)
{
    if (!ok())
        return;
    check(H5Lcreate_hard(m_file, target.toUtf8().constData(), parentId(parent), name.toUtf8().constData(), H5P_DEFAULT,
              H5P_DEFAULT),
        name);
}
