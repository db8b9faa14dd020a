#pragma once

#include "ui/Dialogs.h"
#include "ui/FixedPaths.h"

#include <QByteArray>
#include <QFile>
#include <QLockFile>
#include <QString>
#include <cstdint>
#include <memory>
#include <optional>

// Safe writing of the program's working files and of the files it saves for the user: nothing
// is ever written through a link that stands at a name, and a save is whole or not there.
namespace ui {

// Makes the working folder (mode 0700) and its Temp folder, and checks that the working folder
// is a folder of this user's alone. An empty text when it can be used; otherwise what is wrong,
// for the user.
QString PrepareWorkingFolder(const FixedPaths& paths);

// Takes the working files for this run: prepares the working folder and locks it against a
// second instance of the program. When either fails the user is told in one message and the
// result is empty; nothing in the folder has been touched then.
std::unique_ptr<QLockFile> TakeWorkingFiles(const FixedPaths& paths, Dialogs& dialogs);

// Opens `file` for writing (with `extra` flags such as Unbuffered) on a new, empty file at
// `path`, mode 0600. Whatever stood at the name before, an old file or a link planted there, is
// removed and never followed. False, with the reason in `error`, when it cannot be made.
bool OpenFresh(QFile& file, const QString& path, QIODevice::OpenMode extra, QString& error);

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

enum class SaveOutcome
{
    Saved,
    NameChanged,
    Failed
};

// Saves `bytes` as the file `path`, whole or not at all: they go into a new file beside it,
// which then takes the name. The name is replaced, never written through. With `expected`
// the name must still hold what was seen then: nothing (the new file is then only linked in,
// never over something that appeared since) or the same regular file; otherwise the result is
// NameChanged and nothing is written. Failed carries the reason in `error`.
SaveOutcome SaveWhole(const QString& path, const QByteArray& bytes,
                      const std::optional<FileIdentity>& expected, QString& error);

} // namespace ui
