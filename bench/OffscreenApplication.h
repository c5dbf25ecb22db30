#pragma once
// The one application object that window benchmarks need, on Qt's offscreen
// platform unless the caller chose another one.

#include <QApplication>
#include <QTemporaryDir>

inline QApplication& OffscreenApplication()
{
    static int argc = 1;
    static char name[] = "tonarel_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // "精确测量" is remembered; the benchmarks tick it in a folder of their own.
    static QTemporaryDir configuration;
    qputenv("XDG_CONFIG_HOME", configuration.path().toLocal8Bit());
    static QApplication application(argc, argv);
    return application;
}
