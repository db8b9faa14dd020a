#include "cli/Session.h"
#include "logger/MemoryErase.h"

namespace cli {

int EraseMemory(Session& session, bool yes)
{
    // Refused before anything is read: no one could answer the question.
    if (!yes && !session.env.interactive)
        return session.fail(Usage, QStringLiteral("erase asks before it erases, and no one can "
                                                  "answer here; give --yes to answer it"));
    MeterAccess access(session);
    if (const int taken = access.take(); taken != Done)
        return taken;
    TerminalDialogs dialogs(session, yes);
    TerminalProgress progress(session.env.pacer);
    logger::MemoryErase erase(access.runner(), dialogs, session.env.clock, session.env.paths,
                              progress);
    if (erase.run({logger::EraseAllText, ui::MsgIcon::None, QString()})) {
        session.say(QStringLiteral("the memory was erased"));
        return Done;
    }
    if (!access.link().connected())
        return access.absent();
    // Cancel to the erase itself is the user's choice; a No elsewhere kept sets from being lost.
    if (dialogs.declined() == ui::MsgButtons::OkCancel ||
        dialogs.declined() == ui::MsgButtons::OkCancelDefaultCancel)
        return session.fail(Usage, QStringLiteral("nothing was erased"));
    return session.fail(FileFailed,
                        QStringLiteral("nothing was erased: not every set is backed up"));
}

} // namespace cli
