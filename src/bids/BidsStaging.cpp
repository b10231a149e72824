#include "BidsStaging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

bool moveFile(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

} // namespace

BidsStaging::BidsStaging(const QString& dataset)
    : m_dataset(QDir::cleanPath(QDir(dataset).absolutePath()))
{ }

BidsStaging::~BidsStaging()
{
    m_staging.reset();
    if (m_committed)
        return;
    for (auto it = m_madeDataset.crbegin(); it != m_madeDataset.crend(); ++it)
        QDir().rmdir(*it);
}

bool BidsStaging::fail(const QString& message)
{
    if (m_error.isEmpty())
        m_error = message;
    return false;
}

bool BidsStaging::makeFolders(const QString& path, QStringList& made)
{
    QStringList missing;
    for (QString folder = QDir::cleanPath(path); !QFileInfo(folder).isDir(); folder = QFileInfo(folder).path()) {
        if (QFileInfo::exists(folder))
            return fail(QStringLiteral("%1: not a folder").arg(QDir::toNativeSeparators(folder)));
        missing.prepend(folder);
    }
    for (const QString& folder : std::as_const(missing)) {
        if (::mkdir(QFile::encodeName(folder).constData(), 0777) != 0)
            return fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(folder), systemError()));
        made.append(folder);
    }
    return true;
}

bool BidsStaging::begin()
{
    if (!makeFolders(m_dataset, m_madeDataset))
        return false;
    m_staging = std::make_unique<QTemporaryDir>(m_dataset + QStringLiteral("/.halvex-export-XXXXXX"));
    if (!m_staging->isValid()) {
        return fail(QStringLiteral("%1: cannot write in the dataset: %2")
                        .arg(QDir::toNativeSeparators(m_dataset), m_staging->errorString()));
    }
    return true;
}

QString BidsStaging::stagedPath(const QString& relative)
{
    const QString path = m_staging->filePath(QStringLiteral("new/") + relative);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_staged.contains(relative))
        m_staged.append(relative);
    QDir().mkpath(QFileInfo(path).path());
    return path;
}

bool BidsStaging::write(const QString& relative, const QByteArray& bytes)
{
    QSaveFile file(stagedPath(relative));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        return fail(QStringLiteral("%1: %2").arg(relative, file.errorString()));
    }
    return true;
}

QByteArray BidsStaging::current(const QString& relative) const
{
    QFile file(QDir(m_dataset).filePath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool BidsStaging::commit()
{
    if (!m_error.isEmpty())
        return false;
    const QString aside = m_staging->filePath(QStringLiteral("old/"));
    QStringList staged = m_staged;
    staged.sort();
    for (const QString& relative : std::as_const(staged)) {
        const QString target = QDir(m_dataset).filePath(relative);
        const QString replaced = aside + relative;
        if (!makeFolders(QFileInfo(target).path(), m_madeFolders)) {
            undo();
            return false;
        }
        if (QFileInfo::exists(target)) {
            if (!QDir().mkpath(QFileInfo(replaced).path()) || !moveFile(target, replaced)) {
                fail(QStringLiteral("%1: cannot move it aside: %2").arg(relative, systemError()));
                undo();
                return false;
            }
            m_movedAside.append(relative);
        }
        if (!moveFile(m_staging->filePath(QStringLiteral("new/") + relative), target)) {
            fail(QStringLiteral("%1: cannot put it in place: %2").arg(relative, systemError()));
            undo();
            return false;
        }
        m_placed.append(relative);
    }
    m_committed = true;
    return true;
}

void BidsStaging::undo()
{
    const QString aside = m_staging->filePath(QStringLiteral("old/"));
    for (auto it = m_placed.crbegin(); it != m_placed.crend(); ++it)
        QFile::remove(QDir(m_dataset).filePath(*it));
    for (auto it = m_movedAside.crbegin(); it != m_movedAside.crend(); ++it)
        moveFile(aside + *it, QDir(m_dataset).filePath(*it));
    for (auto it = m_madeFolders.crbegin(); it != m_madeFolders.crend(); ++it)
        QDir().rmdir(*it);
    m_placed.clear();
    m_movedAside.clear();
    m_madeFolders.clear();
}
