#pragma once
// The paired Bluetooth devices of the machine and connecting to them.
//
// Threads: every call may be made from any thread and may block (connecting takes time on real
// hardware), so callers run them off the main thread.

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace quellor {

struct PairedBluetoothDevice {
    std::optional<QString> address;  // "00-1a-7d-da-71-13"; a device without one cannot be reached
    std::uint32_t majorClass = 0;    // 4 is the audio class
    std::uint32_t minorClass = 0;
    std::optional<QString> name;
    bool connected = false;

    bool operator==(const PairedBluetoothDevice&) const = default;
};

class BluetoothDevices {
public:
    static constexpr std::uint32_t kAudioMajorClass = 4;
    static constexpr std::int32_t kSuccess = 0;
    // The general error status, also what an address that names no paired device gives.
    static constexpr std::int32_t kGeneralError = static_cast<std::int32_t>(0xE00002BCu);

    virtual ~BluetoothDevices() = default;

    // The paired devices; nothing when the system gives no list at all.
    virtual std::optional<std::vector<PairedBluetoothDevice>> pairedDevices() = 0;
    // Status kSuccess or an error status.
    virtual std::int32_t openConnection(const QString& address) = 0;
    virtual std::int32_t closeConnection(const QString& address) = 0;
};

}  // namespace quellor
