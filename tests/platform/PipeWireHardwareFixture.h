#pragma once
// A test on a private PipeWire server (PrivatePipeWire) with the PipeWire hardware installed. Every
// wait is a bounded poll on a condition; virtual time moves with the wall clock meanwhile, so
// posted reports, debounces and the reconnect timer all run.
//
// Threads: the test's thread.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "PrivatePipeWire.h"
#include "TestEnvironment.h"
#include "platform/PipeWireHardware.h"

namespace quellor::test {

class PipeWireHardwareFixture : public QuellorTest {
protected:
    void SetUp() override {
        if (auto missing = PrivatePipeWire::missingProgram())
            FAIL() << "cannot run: needs " << missing->toStdString() << " (bash scripts/deps.sh installs it)";
        pipewire_ = std::make_unique<PrivatePipeWire>();
        ASSERT_TRUE(pipewire_->ok()) << pipewire_->error().toStdString();
        hardware_ = std::make_unique<PipeWireHardware>();
        ASSERT_TRUE(hardware_->start());
        AudioHardware::install(hardware_.get());
    }
    void TearDown() override {
        hardware_.reset();
        AudioHardware::install(nullptr);
    }

    bool eventually(const std::function<bool()>& condition, double seconds = 20.0) {
        return PrivatePipeWire::waitUntil(condition, [this] {
            advance(0.02);
            whileWaiting();
        }, seconds);
    }
    // What else a poll step does.
    virtual void whileWaiting() {}

    std::unique_ptr<PrivatePipeWire> pipewire_;
    std::unique_ptr<PipeWireHardware> hardware_;
};

}  // namespace quellor::test
