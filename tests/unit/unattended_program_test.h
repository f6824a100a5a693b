// A test fixture that runs scripts in one program, unattended and with every
// box swallowed, keeping the program's state from run to run.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "core/program.h"
#include "platform/message_box.h"

namespace tallow {

class UnattendedProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetUnattended(true);
        platform::SetBoxObserver([](void*, std::string_view, std::string_view) {}, nullptr);
        program.keepState = true;
    }
    void TearDown() override { platform::SetBoxObserver(nullptr, nullptr); }

    // Runs text; ErrMsg$ of the error that ended it, or "".
    std::string Run(const std::string& text) {
        return program.Run(text.c_str()) ? std::string() : program.LastRunError().message;
    }

    Program program;
};

}  // namespace tallow
