#include <QApplication>
#include <QStandardPaths>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>

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
    // The runs under a comma locale prove nothing when that locale is missing: the C library
    // then keeps the point without a word.
    const QByteArray locale = qgetenv("LC_ALL");
    if (locale.startsWith("de_DE") && std::strcmp(std::localeconv()->decimal_point, ",") != 0) {
        std::fprintf(stderr, "The locale %s is not installed (scripts/deps generates it).\n",
                     locale.constData());
        return 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
