#include "ui/Settings.h"

#include "ui/Dialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(Settings, AnIntervalOutOfRangeReadsAsTheDefault)
{
    const struct
    {
        QVariant kept;
        int read;
    } rows[] = {{QVariant(), 1}, {0, 1},  {1, 1},     {86400, 86400},
                {86401, 1},      {-5, 1}, {"60", 60}, {"a minute", 1}};
    for (const auto& row : rows) {
        ui::Settings settings;
        settings.setValue(QStringLiteral("Panel/pcInterval"), row.kept);
        EXPECT_EQ(settings.pcInterval(), row.read) << row.kept.toString().toStdString();
    }
}

TEST(Settings, AFolderThatIsGoneGivesTheDefaultFolder)
{
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("runs"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ui::Settings settings;
    EXPECT_EQ(settings.folder(ui::FileKind::Csv), ui::DefaultFolder());
    settings.rememberFolder(ui::FileKind::Csv, folder + QStringLiteral("/lamp.csv"));
    EXPECT_EQ(settings.folder(ui::FileKind::Csv), folder);
    // Each kind keeps its own.
    EXPECT_EQ(settings.folder(ui::FileKind::Picture), ui::DefaultFolder());

    ui::FileDialogState fresh;
    ui::StartInFolder(fresh, ui::FileKind::Csv);
    EXPECT_EQ(fresh.fileName, folder + QLatin1Char('/'));
    ui::FileDialogState used;
    used.fileName = root.filePath(QStringLiteral("x.csv"));
    ui::StartInFolder(used, ui::FileKind::Csv); // a dialog keeps its own last name
    EXPECT_EQ(used.fileName, root.filePath(QStringLiteral("x.csv")));

    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_EQ(settings.folder(ui::FileKind::Csv), ui::DefaultFolder());
}

TEST(Settings, ForgottenSettingsStayForgottenUntilTheNextRun)
{
    ui::Settings settings;
    settings.setPcInterval(30);
    settings.forget();
    EXPECT_EQ(settings.pcInterval(), 1);
    // What windows keep as they close in this run is not kept.
    settings.setPcInterval(30);
    settings.setWindowFrame(QStringLiteral("Graph"), QRect(1, 2, 300, 200));
    EXPECT_EQ(ui::Settings().pcInterval(), 1);
    EXPECT_EQ(ui::Settings().windowFrame(QStringLiteral("Graph")), std::nullopt);
    // A new start keeps them again.
    settings.clear();
    settings.setPcInterval(30);
    EXPECT_EQ(ui::Settings().pcInterval(), 30);
}

} // namespace
