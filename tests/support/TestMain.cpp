#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

// Every test program runs with a QApplication on the offscreen platform.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tellarix 582"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
