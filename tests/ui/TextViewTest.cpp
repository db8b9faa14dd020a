#include "ui/TextView.h"

#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFont>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Stands in for the desktop's opener of local files: records what would have been launched.
class DesktopOpener : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    QFile file(dir.filePath(QStringLiteral("Lum.tmp")));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return file.fileName();
}

// The desktop would open this in a PDF reader, as it picks the program by the content.
TEST(TextView, DownloadStartingLikeAPdfIsShownByUsAsText)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QByteArray("%PDF-1.4\r\n%\xE2\xE3\xCF\xD3\r\n"));
    DesktopOpener desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");

    ui::QtDialogs().openTextViewer(path);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    EXPECT_TRUE(desktop.opened.isEmpty());
    std::unique_ptr<ui::TextView> view;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && qobject_cast<ui::TextView*>(widget))
            view.reset(qobject_cast<ui::TextView*>(widget));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->toPlainText().toStdString(), "%PDF-1.4\n%\u00e2\u00e3\u00cf\u00d3\n");
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Lum.tmp"));
    EXPECT_TRUE(view->isReadOnly());
    // What the view asks for, not what the machine's fonts make of it: a machine may resolve
    // it to a monospace font that reports itself as not fixed-pitch.
    EXPECT_TRUE(view->font().fixedPitch());
    EXPECT_EQ(view->font().styleHint(), QFont::Monospace);
}

TEST(TextView, LargeFileShowsItsStart)
{
    QTemporaryDir dir;
    ui::TextView view(nullptr, 10);
    QString error;
    ASSERT_TRUE(view.load(writeFile(dir, QByteArray(100, 'a')), error));
    EXPECT_EQ(view.toPlainText(),
              QStringLiteral("aaaaaaaaaa\n[90 more bytes of this file are not shown.]"));
}

// A message names files and carries texts from the meter: whatever they hold, it shows them as
// they are and never as markup (a heading, a picture from the disk).
TEST(QtDialogs, MessagesAreShownAsPlainText)
{
    const QString text = QStringLiteral("<h2 style=\"color:red\">Meter damaged!</h2>"
                                        "<img src=\"file:///etc/x.png\">x.txt cannot be opened");
    ui::QtDialogs dialogs;
    Qt::TextFormat format = Qt::RichText;
    QString shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(top); box && box->isVisible()) {
                format = box->textFormat();
                shown = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        }
    });
    closer.start(10);
    EXPECT_EQ(dialogs.message(text, ui::MsgButtons::Ok, ui::MsgIcon::Critical), ui::MsgAnswer::Ok);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, text);
}

} // namespace

#include "TextViewTest.moc"
