#pragma once

#include "CardWindow.h"
#include "RealCardTest.h"

#include "platform/linux/LinuxSystem.h"
#include "support/Bytes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace velk::test {

/// A window on the real system with one real card chosen, as the operator drives it: the
/// monitor ticks at every yield, as the timer would, `onYield` is called, and the wipe
/// question is answered O.K.
class CardWindowTest : public RealCardTest {
protected:
    void SetUp() override {
        RealCardTest::SetUp();
        if (IsSkipped())
            return;
        root = card->mountPoint();
        ASSERT_TRUE(window.chooseCard(card->device())) << form.text(Control::Label4);
        window.operate([this](FakeForm& f) {
            if (onYield)
                onYield(f);
        });
    }

    /// Puts a file in the source folder and adds it with a double-click; its path.
    std::string add(const std::string& name, const std::string& content) {
        writeBytes(source.path() / name, content);
        window.add(source.str(), name);
        return (source.path() / name).string();
    }

    std::string root;
    const LinuxSystem system;
    Window window{system};
    Module1& state = window.state;
    FakeForm& form = window.form;
    std::function<void(FakeForm&)> onYield;
};

} // namespace velk::test
