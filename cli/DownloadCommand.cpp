#include "cli/Session.h"

namespace cli {

int DownloadSets(Session& session, std::optional<int>, const QString&)
{
    return session.fail(Usage, QStringLiteral("download: not yet"));
}

} // namespace cli
