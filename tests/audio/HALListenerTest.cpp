#include <gmock/gmock.h>

#include <memory>

#include "audio/HALListener.h"
#include "platform/SimulatedHardwareFixture.h"

namespace quellor::test {
namespace {

using namespace hal;

class HALListenerTest : public SimulatedHardwareTest {
protected:
    std::unique_ptr<HALListener> listen(PropertyAddress address, std::string name) {
        return std::make_unique<HALListener>(kSystemObject, address,
                                             [this, name](std::uint32_t, const PropertyAddress* changed) {
                                                 calls.push_back(name + " " + fourCCText(changed->selector).toStdString());
                                             });
    }
    void changeDefaultOutput() {
        hw.setDefaultOutputDevice(hw.defaultOutputDevice() == first ? second : first);
    }

    AudioObjectID first = hw.addDevice(device("first", 2));
    AudioObjectID second = hw.addDevice(device("second", 2));
    std::vector<std::string> calls;
};

TEST_F(HALListenerTest, RegistrationLivesExactlyAsLongAsTheObject) {
    auto a = listen({kDefaultOutputDevice}, "a");
    auto b = listen({kDefaultOutputDevice}, "b");
    auto devices = listen({kDevices}, "devices");
    changeDefaultOutput();
    scheduler().runPending();
    EXPECT_EQ(calls, (std::vector<std::string>{"a 'dOut'", "b 'dOut'"})) << "registration order";

    // Released with a notification already on its way: never called.
    calls.clear();
    changeDefaultOutput();
    a.reset();
    scheduler().runPending();
    EXPECT_EQ(calls, (std::vector<std::string>{"b 'dOut'"}));

    calls.clear();
    b.reset();
    changeDefaultOutput();
    scheduler().runPending();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(hw.listenerCount(), 1u) << "only the device-list listener is left";
}

}  // namespace
}  // namespace quellor::test
