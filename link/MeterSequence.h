#pragma once

#include "link/MeterLink.h"

#include <optional>

namespace meterlink {

// The live poll as the meter sequences see it.
class PollGate
{
public:
    virtual ~PollGate() = default;
    virtual void pausePoll() = 0;
    // Restarts the poll's interval.
    virtual void resumePoll() = 0;
};

class SequenceRunner;

// One meter sequence in progress: the live poll is paused (and, for most sequences, what the
// meter still had pending was drained) when it begins, and resumes when it ends, on every way
// out. Nothing else talks to the meter meanwhile.
class MeterSequence
{
public:
    MeterSequence(MeterSequence&& other) noexcept;
    MeterSequence(const MeterSequence&) = delete;
    MeterSequence& operator=(const MeterSequence&) = delete;
    MeterSequence& operator=(MeterSequence&&) = delete;
    ~MeterSequence();

    // See MeterLink::request.
    Reply request(const Command& command, int answers = 1);
    // A command whose answer is never read.
    Reply send(const Command& command) { return request(command, 0); }
    // One further report of a long answer.
    std::optional<Answer> receive();
    // Reads and discards up to two reports the meter may still send.
    void drain();
    // See MeterLink::discard.
    int discard(int limit, int waitMs);
    bool connected() const;

private:
    friend class SequenceRunner;
    explicit MeterSequence(SequenceRunner& runner) : m_runner(&runner) {}

    SequenceRunner* m_runner;
};

// Keeps the live poll paused while it lives, across any number of sequences.
class PollHold
{
public:
    PollHold(PollHold&& other) noexcept;
    PollHold(const PollHold&) = delete;
    PollHold& operator=(const PollHold&) = delete;
    PollHold& operator=(PollHold&&) = delete;
    ~PollHold();

private:
    friend class SequenceRunner;
    explicit PollHold(SequenceRunner& runner) : m_runner(&runner) {}

    SequenceRunner* m_runner;
};

// Runs the meter sequences one at a time over the link and keeps the live poll out of them: the
// one place that decides whether the poll runs. It runs unless a sequence or a hold is active;
// the pauses are counted, so sequences and holds nest and the poll resumes when the last ends.
class SequenceRunner
{
public:
    enum class Drain
    {
        First, // read and drop what the meter may still send before the command
        Skip,  // the front-panel keys go straight to their command
    };

    explicit SequenceRunner(MeterLink& link) : m_link(link) {}
    SequenceRunner(const SequenceRunner&) = delete;
    SequenceRunner& operator=(const SequenceRunner&) = delete;

    // The live poll; none (the default) until the window that polls is there.
    void setPollGate(PollGate* gate) { m_gate = gate; }

    // Begins a sequence; nothing while another one runs (a long transfer lets window events run
    // between its reports, and a click must not start a second one in its middle).
    [[nodiscard]] std::optional<MeterSequence> begin(Drain drain = Drain::First);
    // Keeps the live poll paused beyond one sequence.
    [[nodiscard]] PollHold hold();
    bool running() const { return m_running; }

    // One exchange of the live poll: drops the reports that have already arrived (so that none
    // is taken for the first half of the frame), sends the poll and reads its two reports.
    // Nothing while the poll may not run.
    std::optional<Reply> poll();
    // Reads and drops what the meter may still send (see MeterLink::drain); nothing while a
    // sequence runs.
    void drain();

private:
    friend class MeterSequence;
    friend class PollHold;
    // Whether the live poll may run: not while a sequence runs or a hold keeps it paused.
    bool pollRuns() const { return m_pauses == 0; }
    void pause();
    void release();

    MeterLink& m_link;
    PollGate* m_gate = nullptr;
    int m_pauses = 0;
    bool m_running = false;
};

} // namespace meterlink
