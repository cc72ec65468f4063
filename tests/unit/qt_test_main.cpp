// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Widget tests need no display on any platform. The choice is made here, not
// in the test's environment: wine does not pass QT_* variables on to the
// Windows test programs. Settings stores are given their folder by the tests,
// and Qt's own per-user folders point at a temporary one, so no test touches
// a real user's files.
int main(int argc, char* argv[]) {
    QTemporaryDir home;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    qputenv("LC_ALL", "C.UTF-8");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
