#pragma once

// Every test runs with HOME and the working directory inside a fresh temporary
// folder, so nothing a test writes can reach the developer's real home or the
// source tree. Use KESTA_TEST_MAIN instead of QTEST_MAIN.

#include <QtTest>

namespace kestatest {

// Points HOME and the working directory into a new temporary folder that lives
// until the process ends. Must run before the application object exists.
void isolateEnvironment();

}  // namespace kestatest

// The application class the test's libraries allow, as QTEST_MAIN chooses it: a
// test of the database or the exchange runs without widgets.
#if defined(QT_WIDGETS_LIB)
#define KESTA_TEST_APPLICATION QApplication
#elif defined(QT_GUI_LIB)
#define KESTA_TEST_APPLICATION QGuiApplication
#else
#define KESTA_TEST_APPLICATION QCoreApplication
#endif

#define KESTA_TEST_MAIN(TestObject)                   \
    int main(int argc, char **argv)                   \
    {                                                 \
        kestatest::isolateEnvironment();              \
        KESTA_TEST_APPLICATION app(argc, argv);       \
        app.setAttribute(Qt::AA_Use96Dpi, true);      \
        TestObject tc;                                \
        QTEST_SET_MAIN_SOURCE_PATH                    \
        return QTest::qExec(&tc, argc, argv);         \
    }
