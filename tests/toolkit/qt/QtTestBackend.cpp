#include "tests/toolkit/TestBackend.h"

#include "platform/toolkit/qt/QtDriver.h"

#include <QApplication>

#include <cstdlib>

namespace varnak::test {
namespace {

// One application for the whole test program, on the offscreen platform unless the
// environment asks for another. It is never destroyed: tearing Qt down while the C++
// run-time destroys its statics crashes at exit.
void EnsureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "varnak-qt-tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // NOLINT: lives as long as the program
}

} // namespace

std::unique_ptr<toolkit::ScriptedBackend> MakeTestBackend() {
    EnsureApplication();
    return std::make_unique<toolkit::qt::ScriptedQtBackend>();
}

} // namespace varnak::test
