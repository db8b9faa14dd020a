#include "cli/Session.h"

namespace cli {

int EraseMemory(Session& session, bool)
{
    return session.fail(Usage, QStringLiteral("erase: not yet"));
}

} // namespace cli
