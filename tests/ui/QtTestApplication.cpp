// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

namespace {

// Widgets need one application object for the whole test program; the style is the
// program's own so colours and metrics match what the user sees.
class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "velquist_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
        QApplication::setStyle(QStringLiteral("Fusion"));
    }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QApplication> app_;
};

const ::testing::Environment* const kRegistered =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
