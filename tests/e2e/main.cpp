// Runs the end-to-end tests. The program under test gets its own X server; this process only
// starts helpers and reads screenshots, so a core application is enough.
#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
