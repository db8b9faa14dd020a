#include "ui/Settings.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

namespace {

// Every test starts with nothing kept from an earlier one.
class ForgetSettings : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo& /*test*/) override { ui::Settings().clear(); }
};

} // namespace

// Every test program runs with a QApplication on the offscreen platform.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // Settings go to the test folders (test mode above), under the program's own names.
    QApplication::setOrganizationName(QStringLiteral("tellarix582"));
    QApplication::setApplicationName(QStringLiteral("Tellarix 582"));
    // A folder of this process's own: the tests run side by side.
    const QTemporaryDir settingsFolder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
    // The runs under a comma locale prove nothing when that locale is missing: the C library
    // then keeps the point without a word.
    const QByteArray locale = qgetenv("LC_ALL");
    if (locale.startsWith("de_DE") && std::strcmp(std::localeconv()->decimal_point, ",") != 0) {
        std::fprintf(stderr, "The locale %s is not installed (scripts/deps generates it).\n",
                     locale.constData());
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetSettings);
    return RUN_ALL_TESTS();
}
