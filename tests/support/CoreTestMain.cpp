#include <QCoreApplication>

#include <gtest/gtest.h>

// Tests of the core run processes and process events, which need the
// application object of the thread.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
