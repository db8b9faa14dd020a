#pragma once

#include <QString>
#include <memory>

// Folders checked against other accounts and held open while they are used.
namespace ui {

// A folder held open. Files are made, opened and renamed in it through its handle (openat,
// renameat), so once it has been checked nothing done to its path afterwards (a parent renamed,
// a link put in its place) can send them anywhere else.
class Folder
{
public:
    Folder() = default;
    // Takes over the open handle `fd`.
    Folder(int fd, QString path, bool own);

    bool isOpen() const { return m_handle != nullptr; }
    int fd() const;
    QString path() const { return m_path; }
    QString filePath(const QString& name) const;
    // One of the program's own folders (working files, backups): what is saved there is the
    // user's alone (0600).
    bool own() const { return m_own; }
    // The folder was removed after it was opened.
    bool removed() const;

private:
    class Handle;
    std::shared_ptr<const Handle> m_handle;
    QString m_path;
    bool m_own = false;
};

// What opening a folder came to. Unsafe: another account could change the folder or one on the
// way to it; Failed: it cannot be made or opened. `problem` says which folder and why.
struct FolderResult
{
    enum class Status
    {
        Ok,
        Unsafe,
        Failed
    };
    Status status = Status::Failed;
    Folder folder;
    QString problem;

    bool ok() const { return status == Status::Ok; }
};

// Opens the folder `path`, walking down from the root of the file system. Every folder on the
// way must belong to the user or to root and be writable by no one else; a sticky folder that
// others may write to counts only for an entry of the user's or root's, which they cannot
// rename. A link on the way is followed, since only the user or root can have put it there.
// With `create`, missing folders are made (0700).
FolderResult OpenTrustedFolder(const QString& path, bool create);

// The program's own folder `name` in `parent`, made (0700) when missing. It must be a folder of
// the user's, not a link; one that others can only read is made 0700, one that others can write
// to is refused.
FolderResult OpenOwnFolder(const Folder& parent, const QString& name);

// A folder made new as `name` in `parent`, never one that stood there before: when the name is
// taken, "<name>_2", "<name>_3" and so on.
FolderResult CreateNewFolder(const Folder& parent, const QString& name);

// The folder of the file `path`, following links as the user's path does; for files the user
// named.
FolderResult OpenFolderOf(const QString& path);

// Why a file that the user did not name outright must not be saved as `path`: another account
// can change its folder or one on the way, or owns what stands at the name in a shared sticky
// folder. Empty when it may be saved there.
QString SharedFolderProblem(const QString& path);

} // namespace ui
