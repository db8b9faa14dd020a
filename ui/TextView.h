#pragma once

#include <QPlainTextEdit>

namespace ui {

// A read-only window that shows a text file as the bytes it holds, read as Latin-1, in a
// monospaced font. A downloaded set is shown here whatever it contains, so that bytes from the
// meter never choose which program opens them.
class TextView : public QPlainTextEdit
{
    Q_OBJECT
public:
    // A larger file shows its first bytes and says how many were left out; a multi-megabyte
    // text would otherwise keep the window busy for long.
    static constexpr qint64 DefaultMaxBytes = 4 * 1024 * 1024;

    explicit TextView(QWidget* parent = nullptr, qint64 maxBytes = DefaultMaxBytes);

    // Shows the file with its name as the window title. When it cannot be read, returns false
    // with the reason in `error` and shows nothing.
    bool load(const QString& path, QString& error);

private:
    qint64 m_maxBytes;
};

} // namespace ui
