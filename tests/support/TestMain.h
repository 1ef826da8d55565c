#pragma once

// A test main over the program's own application object, so that an error
// leaving an event handler reaches the default error box as in the programs.

#include "ui/Application.h"

#include <QTest>

namespace testsupport {
template <class TestObject> int runTestObject(int argc, char **argv)
{
    platform::Application app(argc, argv);
    TestObject test;
    return QTest::qExec(&test, argc, argv);
}
} // namespace testsupport

// The same for a test program that also runs as a child process of its own
// tests: started with the switch first, it runs childMain(argc, argv) instead.
#define ZELO_TEST_MAIN_WITH_CHILD(TestObject, childSwitch, childMain)                                                  \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        if (argc > 2 && qstrcmp(argv[1], childSwitch) == 0)                                                            \
            return childMain(argc, argv);                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return testsupport::runTestObject<TestObject>(argc, argv);                                                     \
    }

#define ZELO_TEST_MAIN(TestObject)                                                                                     \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return testsupport::runTestObject<TestObject>(argc, argv);                                                     \
    }
