#pragma once

#include "link/MeterSequence.h"
#include "logger/MemoryListing.h"
#include "logger/SetBackup.h"
#include "ui/Dialogs.h"

#include <QString>
#include <optional>
#include <vector>

namespace ui {
class Clock;
class FixedPaths;
} // namespace ui

namespace logger {

class TransferProgress;

// The confirmation of the erase of the whole memory ("Erase" on the toolbar, the client's
// erase).
extern const QString EraseAllText;

// Erases the meter's memory with every stored set saved first, in a window or on a terminal.
// The backup reads each set into a dated folder made new for it and reads the file back; the
// confirmation names the folder; right before the erase the memory is read again, so that a set
// stored meanwhile is not erased unsaved. Where a careless answer would lose sets, the question
// has No as its default.
class MemoryErase
{
public:
    // The question, OK or Cancel, that asks for the erase itself.
    struct Confirmation
    {
        QString text;
        ui::MsgIcon icon = ui::MsgIcon::None;
        QString title; // empty: the application's title
    };

    MemoryErase(meterlink::SequenceRunner& runner, ui::Dialogs& dialogs, const ui::Clock& clock,
                const ui::FixedPaths& paths, TransferProgress& progress);

    // True when the erase command was sent. Nothing, not even a question, while another
    // sequence runs.
    bool run(const Confirmation& confirmation);

    // What came of saving every set.
    struct Backup
    {
        enum class Outcome
        {
            Empty, // the memory holds no set: nothing to save
            Saved,
            Failed
        };
        Outcome outcome = Outcome::Failed;
        int sets = 0; // saved in `folder`
        QString folder;
        QString reason;
        // Saved leaves these out: sets the meter did not send apart from an earlier one.
        std::vector<UnreadSet> unread;
        // What the memory held when the backup read it; none when it could not be read.
        std::optional<MemoryListing> listing;
    };
    // Every stored set saved into a dated folder made new for it and read back; nothing is
    // erased. The first step of `run`, and of use alone. The poll stays paused throughout.
    Backup backup();

private:
    // Downloads every listed set into a new dated folder.
    Backup saveSets(const MemoryListing& listing);
    // False when the erase must not run.
    bool confirm(const Confirmation& confirmation, const Backup& backup);
    // Reads the memory again and erases it when it holds nothing the backup did not see, else
    // only when the user insists.
    bool eraseUnlessChanged(const Backup& backup);
    bool sendErase();
    bool advance(int percent);

    meterlink::SequenceRunner& m_runner;
    ui::Dialogs& m_dialogs;
    const ui::Clock& m_clock;
    const ui::FixedPaths& m_paths;
    TransferProgress& m_progress;
};

} // namespace logger
