#pragma once

#include "ui/Dialogs.h"
#include "ui/FixedPaths.h"
#include "ui/SafeFolder.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

// Safe writing of the program's working files and of the files it saves for the user: nothing
// is ever written through a link that stands at a name, and a save is whole or not there.
namespace ui {

// The lock that lets one instance of the program run per user, held while it lives.
class InstanceLock
{
public:
    explicit InstanceLock(int fd) : m_fd(fd) {}
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

private:
    int m_fd;
};

// What came of taking the working files.
struct TakenWorkingFiles
{
    std::unique_ptr<InstanceLock> lock; // none when they could not be taken
    QString problem;                    // why, for the user
    bool heldByOther = false;           // another program of ours holds them (the lock)
};

// Takes the working files for this run: checks the working folder and its Temp folder against
// other accounts and takes the per-user lock, which then names `holder` and this process, so
// that a program refused can say which one holds the meter and the files. A working folder
// that merely cannot be made does not stop the program: each use says so.
TakenWorkingFiles TakeWorkingFiles(const FixedPaths& paths, const QString& holder);
// The same for the window program: a refusal is told in one message and the result is empty.
std::unique_ptr<InstanceLock> TakeWorkingFiles(const FixedPaths& paths, Dialogs& dialogs);

// Opens `file` (`mode` WriteOnly or ReadWrite, with flags such as Unbuffered) on a new, empty
// file `name` in `folder`, mode 0600. Whatever stood at the name, an old file or a link planted
// there, is removed and never followed. False, with the reason in `error`, when it cannot be
// made.
bool OpenFresh(QFile& file, const Folder& folder, const QString& name, QIODevice::OpenMode mode,
               QString& error);
// Opens the regular file `name` in `folder` for reading, never through a link.
bool OpenToRead(QFile& file, const Folder& folder, const QString& name, QString& error);

// What stands at a name, looked at without following a link.
struct FileIdentity
{
    enum class Kind
    {
        Absent,
        Regular,
        Link,
        Other
    };
    Kind kind = Kind::Absent;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileIdentity&) const = default;
};
FileIdentity IdentifyFile(const QString& path);
FileIdentity IdentifyFile(const Folder& folder, const QString& name);

enum class SaveOutcome
{
    Saved,
    NameChanged,
    Failed
};

// Writes the content of a file being saved into `file`; false, with the reason in `error` (or
// the file's own), when it cannot.
using SaveWriter = std::function<bool(QIODevice& file, QString& error)>;

// How every file is saved. The content goes into a new file beside the name, made with its
// final permissions before the first byte (those of the file it replaces, 0600 in the program's
// own folders), which then takes the name: whatever stands at the name, a link included, is
// replaced and never written through, and the save is whole or not there. With `expected` the
// name must still hold what was seen then: nothing (the new file is then only linked in, never
// over something that appeared since) or the same file or link; otherwise the result is
// NameChanged and the name is left alone. Failed carries the reason in `error`.
SaveOutcome Save(const Folder& folder, const QString& name, const SaveWriter& write,
                 const std::optional<FileIdentity>& expected, QString& error);
// The same for the file `path` the user named; its folder is taken as the path names it.
SaveOutcome Save(const QString& path, const SaveWriter& write,
                 const std::optional<FileIdentity>& expected, QString& error);
// Both for content at hand.
SaveOutcome SaveWhole(const Folder& folder, const QString& name, const QByteArray& bytes,
                      QString& error);
SaveOutcome SaveWhole(const QString& path, const QByteArray& bytes,
                      const std::optional<FileIdentity>& expected, QString& error);

// Whether a file can be saved as `path` now: empty, or the reason.
QString CheckSavable(const QString& path);

} // namespace ui
