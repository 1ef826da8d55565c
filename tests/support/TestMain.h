#pragma once

// A test main over the program's own application object, so that an error
// leaving an event handler reaches the default error box as in the programs.

#include "ui/Application.h"

#include <QTest>

#define ZELO_TEST_MAIN(TestObject)                                                                                     \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        platform::Application app(argc, argv);                                                                         \
        TestObject test;                                                                                               \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
