#include "link/MeterSequence.h"

#include "link/MeterCommands.h"

#include <utility>

namespace meterlink {

MeterSequence::MeterSequence(MeterSequence&& other) noexcept
    : m_runner(std::exchange(other.m_runner, nullptr))
{
}

MeterSequence::~MeterSequence()
{
    if (m_runner == nullptr)
        return;
    m_runner->m_running = false;
    m_runner->release();
}

Reply MeterSequence::request(const Command& command, int answers)
{
    return m_runner->m_link.request(command, answers);
}

std::optional<Answer> MeterSequence::receive()
{
    return m_runner->m_link.receive();
}

void MeterSequence::drain()
{
    m_runner->m_link.drain();
}

int MeterSequence::discard(int limit, int waitMs)
{
    return m_runner->m_link.discard(limit, waitMs);
}

bool MeterSequence::connected() const
{
    return m_runner->m_link.connected();
}

PollHold::PollHold(PollHold&& other) noexcept : m_runner(std::exchange(other.m_runner, nullptr)) {}

PollHold::~PollHold()
{
    if (m_runner != nullptr)
        m_runner->release();
}

std::optional<MeterSequence> SequenceRunner::begin(Drain drain)
{
    if (m_running)
        return std::nullopt;
    m_running = true;
    pause();
    if (drain == Drain::First)
        m_link.drain();
    return MeterSequence(*this);
}

PollHold SequenceRunner::hold()
{
    pause();
    return PollHold(*this);
}

std::optional<Reply> SequenceRunner::poll()
{
    if (!pollRuns())
        return std::nullopt;
    m_link.discard(MeterLink::MaxDiscard, 0);
    return m_link.request(commands::Poll(), 2);
}

void SequenceRunner::drain()
{
    if (!m_running)
        m_link.drain();
}

void SequenceRunner::pause()
{
    if (m_pauses++ == 0 && m_gate != nullptr)
        m_gate->pausePoll();
}

void SequenceRunner::release()
{
    if (--m_pauses == 0 && m_gate != nullptr)
        m_gate->resumePoll();
}

} // namespace meterlink
