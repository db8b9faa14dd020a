#include "ui/TextView.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>

namespace ui {

TextView::TextView(QWidget* parent, qint64 maxBytes) : QPlainTextEdit(parent), m_maxBytes(maxBytes)
{
    setObjectName(QStringLiteral("TextView"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    // The desktop's fixed font, asked for as monospace too: where its family is missing, the
    // replacement is then chosen among the monospace fonts.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    setFont(font);
    resize(720, 480);
}

bool TextView::load(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.read(m_maxBytes);
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    QString text = QString::fromLatin1(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const qint64 left = file.size() - bytes.size();
    if (left > 0)
        text += QStringLiteral("\n[%1 more bytes of this file are not shown.]").arg(left);
    setPlainText(text);
    setWindowTitle(QFileInfo(path).fileName());
    return true;
}

} // namespace ui
