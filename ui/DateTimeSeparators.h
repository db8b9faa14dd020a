#pragma once

#include <QChar>

namespace ui {

// The separators that date and time texts are written with.
struct DateTimeSeparators
{
    QChar date = QLatin1Char('/');
    QChar time = QLatin1Char(':');
};

// The date and time separators of the system's short formats ("/" and ":" for most).
DateTimeSeparators SystemDateTimeSeparators();

} // namespace ui
