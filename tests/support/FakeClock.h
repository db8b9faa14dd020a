#pragma once

#include "ui/Clock.h"

namespace testsupport {

class FakeClock : public ui::Clock
{
public:
    explicit FakeClock(QDateTime now = QDateTime(QDate(2026, 12, 5), QTime(16, 39, 5)))
        : m_now(std::move(now))
    {
    }
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& now) { m_now = now; }
    void advance(int seconds) { m_now = m_now.addSecs(seconds); }

private:
    QDateTime m_now;
};

} // namespace testsupport
