#include "ui/DateTimeSeparators.h"

#include <QLocale>
#include <QString>

namespace ui {

namespace {

// The first character of a format that is no field letter: the separator the format uses.
QChar FirstSeparator(const QString& format, QChar fallback)
{
    for (const QChar c : format) {
        if (!c.isLetter() && !c.isSpace() && c != QLatin1Char('\''))
            return c;
    }
    return fallback;
}

} // namespace

DateTimeSeparators SystemDateTimeSeparators()
{
    const QLocale locale = QLocale::system();
    return {FirstSeparator(locale.dateFormat(QLocale::ShortFormat), QLatin1Char('/')),
            FirstSeparator(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':'))};
}

} // namespace ui
