#pragma once

namespace logger {

// How a memory transfer shows how far it is and learns that the user wants it stopped: the
// Memory window's bar and Cancel, or a terminal's.
class TransferProgress
{
public:
    virtual ~TransferProgress() = default;
    // A transfer begins: it can be cancelled from now on.
    virtual void begin() = 0;
    // `percent` (0 to 100) of it is done; false once the user asked to stop it.
    virtual bool advance(int percent) = 0;
    // The transfer is over, whatever its outcome.
    virtual void end() = 0;
};

// One transfer, from its first report to its last, on every way out.
class TransferScope
{
public:
    explicit TransferScope(TransferProgress& progress) : m_progress(progress)
    {
        m_progress.begin();
    }
    ~TransferScope() { m_progress.end(); }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    TransferProgress& m_progress;
};

} // namespace logger
