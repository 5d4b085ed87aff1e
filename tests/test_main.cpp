// Shared test entry point: a Qt application object (offscreen when no display is set), an
// installed virtual-time scheduler and an in-memory standard defaults store for every test.
#include <gtest/gtest.h>

#ifdef QUELLOR_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include "TestEnvironment.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new quellor::test::GlobalEnvironment);
    return RUN_ALL_TESTS();
}
