#include "ui/TextView.h"

#include "tests/support/TempRoot.h"
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFontInfo>
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

QString writeFile(const testsupport::TempRoot& root, const QByteArray& bytes)
{
    const QString path = root.dir.filePath(QStringLiteral("Lum.tmp"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

ui::TextView* shownView()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* view = qobject_cast<ui::TextView*>(widget); view && view->isVisible())
            return view;
    return nullptr;
}

// The desktop would open this in a PDF reader, as it picks the program by the content.
TEST(TextView, DownloadStartingLikeAPdfIsShownByUsAsText)
{
    testsupport::TempRoot root;
    const QString path = writeFile(root, QByteArray("%PDF-1.4\r\n%\xE2\xE3\xCF\xD3\r\n"));
    DesktopOpener desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
    // A message box instead of the view would wait for a user; close it so the test fails fast.
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });

    ui::QtDialogs().openTextViewer(path);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

    EXPECT_TRUE(desktop.opened.isEmpty());
    const std::unique_ptr<ui::TextView> view(shownView());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->toPlainText().toStdString(), "%PDF-1.4\n%\u00e2\u00e3\u00cf\u00d3\n");
    EXPECT_EQ(view->windowTitle(), QStringLiteral("Lum.tmp"));
    EXPECT_TRUE(view->isReadOnly());
    EXPECT_TRUE(QFontInfo(view->font()).fixedPitch());
}

TEST(TextView, LargeFileShowsItsStartMissingFileSaysWhy)
{
    testsupport::TempRoot root;
    const QString path = writeFile(root, QByteArray(100, 'a'));
    QString error;
    ui::TextView view(nullptr, 10);
    ASSERT_TRUE(view.load(path, error));
    EXPECT_EQ(view.toPlainText(),
              QStringLiteral("aaaaaaaaaa\n[90 more bytes of this file are not shown.]"));

    ui::TextView missing;
    EXPECT_FALSE(missing.load(path + QStringLiteral(".gone"), error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(missing.toPlainText().isEmpty());
}

} // namespace

#include "TextViewTest.moc"
