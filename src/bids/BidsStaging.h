#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <mutex>

// The changes of one export to a dataset, all or nothing: every file is first written whole into a staging folder
// inside the dataset (on its file system, so that moving it in is a rename), then commit() moves the files into
// place, each file it replaces moved aside first. Should a move fail, the files moved in are taken out again, the
// replaced ones put back and the folders it made removed; a staging area given up (or one that failed) leaves the
// dataset as it was, the staging folder gone. A dataset folder that did not exist is made, and removed again when
// nothing was committed.
class BidsStaging
{
public:
    explicit BidsStaging(const QString& dataset);
    ~BidsStaging();
    BidsStaging(const BidsStaging&) = delete;
    BidsStaging& operator=(const BidsStaging&) = delete;

    // Makes the dataset folder when missing and the staging folder in it; false with errorString() when it cannot.
    bool begin();
    QString dataset() const { return m_dataset; }

    // Where the file for a path relative to the dataset is staged; its folder is made. Safe from several threads.
    QString stagedPath(const QString& relative);
    // Stages bytes as the file at a path relative to the dataset; false with errorString() when they cannot be
    // written.
    bool write(const QString& relative, const QByteArray& bytes);
    // The dataset's own file at a relative path, or nothing when it has none.
    QByteArray current(const QString& relative) const;

    // Moves every staged file into place; false with errorString(), and the dataset as it was, when that fails.
    bool commit();
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& message);
    bool makeFolders(const QString& path, QStringList& made);
    void undo();

    QString m_dataset;
    QStringList m_madeDataset; // folders made for the dataset itself, outermost first
    std::unique_ptr<QTemporaryDir> m_staging;
    std::mutex m_mutex;
    QStringList m_staged; // relative paths
    // What commit() did, to be undone in reverse order.
    QStringList m_madeFolders;
    QStringList m_placed;
    QStringList m_movedAside;
    bool m_committed = false;
    QString m_error;
};
