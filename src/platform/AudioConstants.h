#pragma once
// Four-character codes of the audio hardware layer: selectors, scopes, transport types, formats and
// status codes. A code packs its four characters big-endian into a uint32_t ('dOut' == 1682929012),
// which is how selectors are written when they appear as numbers (error texts, logs).
//
// Threads: constants only; fourCCText() is a pure function.

#include <QString>
#include <cstdint>

namespace quellor {

using AudioObjectID = std::uint32_t;
using OSStatus = std::int32_t;

constexpr std::uint32_t fourCC(const char (&c)[5]) {
    return (std::uint32_t(std::uint8_t(c[0])) << 24) | (std::uint32_t(std::uint8_t(c[1])) << 16) |
           (std::uint32_t(std::uint8_t(c[2])) << 8) | std::uint32_t(std::uint8_t(c[3]));
}

// "'dOut'" for printable codes, the decimal number otherwise.
QString fourCCText(std::uint32_t code);

namespace hal {

// Objects. Object 0 never exists; the system object is always 1.
constexpr AudioObjectID kUnknownObject = 0;
constexpr AudioObjectID kSystemObject = 1;

// Scopes and the one element every address uses.
constexpr std::uint32_t kScopeGlobal = fourCC("glob");
constexpr std::uint32_t kScopeOutput = fourCC("outp");
constexpr std::uint32_t kScopeInput = fourCC("inpt");
constexpr std::uint32_t kElementMain = 0;

// System object.
constexpr std::uint32_t kDevices = fourCC("dev#");              // UInt32 array of device ids
constexpr std::uint32_t kDefaultOutputDevice = fourCC("dOut");  // UInt32 device id, settable
constexpr std::uint32_t kDefaultInputDevice = fourCC("dIn ");   // UInt32 device id, settable
constexpr std::uint32_t kProcessObjectList = fourCC("prs#");    // UInt32 array of process ids

// Devices.
constexpr std::uint32_t kDeviceUID = fourCC("uid ");               // string (object-valued)
constexpr std::uint32_t kName = fourCC("lnam");                    // string (object-valued)
constexpr std::uint32_t kTransportType = fourCC("tran");           // UInt32 four-character code
constexpr std::uint32_t kDataSource = fourCC("ssrc");              // UInt32, per scope
constexpr std::uint32_t kStreamConfiguration = fourCC("slay");     // StreamConfiguration bytes, per scope
constexpr std::uint32_t kFullSubDeviceList = fourCC("grup");       // string list (object-valued), aggregates
constexpr std::uint32_t kVirtualMainVolume = fourCC("vmvc");       // Float32 0...1, per scope
constexpr std::uint32_t kMute = fourCC("mute");                    // UInt32 0/1, per scope
constexpr std::uint32_t kVolumeScalar = fourCC("volm");            // Float32 0...1, per scope
constexpr std::uint32_t kNominalSampleRate = fourCC("nsrt");       // Float64 Hz, settable
constexpr std::uint32_t kBufferFrameSize = fourCC("fsiz");         // UInt32 frames, settable
constexpr std::uint32_t kBufferFrameSizeRange = fourCC("fsz#");    // ValueRange
constexpr std::uint32_t kSafetyOffset = fourCC("saft");            // UInt32 frames, per scope
constexpr std::uint32_t kLatency = fourCC("ltnc");                 // UInt32 frames, per scope
constexpr std::uint32_t kStreamFormat = fourCC("sfmt");            // StreamFormat, per scope
constexpr std::uint32_t kDeviceIsAlive = fourCC("livn");           // UInt32 0/1
constexpr std::uint32_t kDeviceIsRunningSomewhere = fourCC("gone");  // UInt32 0/1

// Process objects.
constexpr std::uint32_t kProcessPID = fourCC("ppid");               // Int32 process id
constexpr std::uint32_t kProcessIsRunningOutput = fourCC("piro");   // UInt32 0/1
constexpr std::uint32_t kProcessIsRunningInput = fourCC("piri");    // UInt32 0/1

// Transport types.
constexpr std::uint32_t kTransportBuiltIn = fourCC("bltn");
constexpr std::uint32_t kTransportUSB = fourCC("usb ");
constexpr std::uint32_t kTransportBluetooth = fourCC("blue");
constexpr std::uint32_t kTransportBluetoothLE = fourCC("blea");
constexpr std::uint32_t kTransportAggregate = fourCC("grup");
constexpr std::uint32_t kTransportVirtual = fourCC("virt");
constexpr std::uint32_t kTransportPCI = fourCC("pci ");
constexpr std::uint32_t kTransportThunderbolt = fourCC("thun");
constexpr std::uint32_t kTransportFireWire = fourCC("1394");
constexpr std::uint32_t kTransportAVB = fourCC("eavb");
constexpr std::uint32_t kTransportAirPlay = fourCC("airp");
constexpr std::uint32_t kTransportContinuityWired = fourCC("ccwd");
constexpr std::uint32_t kTransportContinuityWireless = fourCC("ccwl");
constexpr std::uint32_t kTransportDisplayPort = fourCC("dprt");
constexpr std::uint32_t kTransportHDMI = fourCC("hdmi");

// Data sources ('ssrc'): where the sound of a scope goes or comes from.
constexpr std::uint32_t kDataSourceInternalSpeaker = fourCC("ispk");
constexpr std::uint32_t kDataSourceExternalSpeaker = fourCC("espk");
constexpr std::uint32_t kDataSourceHeadphones = fourCC("hdpn");
constexpr std::uint32_t kDataSourceLine = fourCC("line");
constexpr std::uint32_t kDataSourceInternalMic = fourCC("imic");
constexpr std::uint32_t kDataSourceExternalMic = fourCC("emic");

// Stream formats.
constexpr std::uint32_t kFormatLinearPCM = fourCC("lpcm");
constexpr std::uint32_t kFormatFlagIsFloat = 1u << 0;

// Status codes. 0 is success; everything else is a failure.
constexpr OSStatus kStatusOK = 0;
constexpr OSStatus kStatusUnknownProperty = OSStatus(fourCC("who?"));   // the object has no such property
constexpr OSStatus kStatusBadObject = OSStatus(fourCC("!obj"));         // no object with that id
constexpr OSStatus kStatusUnsupported = OSStatus(fourCC("unop"));       // the call does not apply here
constexpr OSStatus kStatusBadPropertySize = OSStatus(fourCC("!siz"));   // buffer or value of the wrong size
constexpr OSStatus kStatusIllegalOperation = OSStatus(fourCC("nope"));  // not settable, or a value refused
constexpr OSStatus kStatusUnspecified = OSStatus(fourCC("what"));       // any other failure
constexpr OSStatus kStatusNotPermitted = OSStatus(fourCC("!prm"));      // audio capture not permitted

}  // namespace hal
}  // namespace quellor
