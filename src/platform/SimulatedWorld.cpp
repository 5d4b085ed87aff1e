#include "platform/SimulatedWorld.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <cmath>

#include "base/AtomicFile.h"
#include "base/Json.h"
#include "platform/SimulatedHardware.h"
#include "platform/SimulatedIO.h"

namespace quellor {

namespace {

using Tone = SimulatedWorld::Tone;

// The simulation allocates what a device declares for every IO cycle (a buffer per channel and
// frame) and keeps a capture per channel: a world may not ask for more than a large interface has.
constexpr std::uint32_t kMaxChannels = 128;       // per direction, all streams together
constexpr std::uint32_t kMaxBufferFrames = 16384;  // buffer frame size and its range

const char* toneKindName(Tone::Kind kind) {
    switch (kind) {
    case Tone::Kind::sine: return "sine";
    case Tone::Kind::dc: return "dc";
    case Tone::Kind::silence: break;
    }
    return "silence";
}

QString codeText(std::uint32_t code) {
    char c[4] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
    return QString::fromLatin1(c, 4);
}

// Reads members leniently (absent or null: the default) but strictly by type; the first wrong
// member is reported as "<path>: <what is wrong>".
class Decoder {
public:
    QString error;

    bool failed() const { return !error.isEmpty(); }
    void fail(const QString& path, const QString& what) {
        if (error.isEmpty()) error = path + QStringLiteral(": ") + what;
    }

    static QString at(const QString& path, const QString& key) {
        return path.isEmpty() ? key : path + '.' + key;
    }
    static QString at(const QString& path, qsizetype index) { return QStringLiteral("%1[%2]").arg(path).arg(index); }

    static std::optional<QJsonValue> member(const QJsonObject& o, const QString& key) {
        auto v = o.value(key);
        if (v.isUndefined() || v.isNull()) return std::nullopt;
        return v;
    }

    QString string(const QJsonObject& o, const QString& path, const QString& key, bool required = false) {
        auto v = member(o, key);
        if (!v) {
            if (required) fail(at(path, key), QStringLiteral("missing"));
            return {};
        }
        if (!v->isString()) fail(at(path, key), QStringLiteral("expected a string"));
        return v->toString();
    }

    double number(const QJsonObject& o, const QString& path, const QString& key, double fallback,
                  double minimum, double maximum) {
        auto v = member(o, key);
        if (!v) return fallback;
        if (!v->isDouble() || v->toDouble() < minimum || v->toDouble() > maximum) {
            fail(at(path, key), QStringLiteral("expected a number from %1 to %2").arg(minimum).arg(maximum));
            return fallback;
        }
        return v->toDouble();
    }

    // A whole number from 0 to `maximum`.
    std::uint32_t count(const QJsonValue& v, const QString& path, std::uint32_t maximum = 4294967295u) {
        double d = v.toDouble(-1);
        if (!v.isDouble() || d < 0 || d > maximum || d != std::floor(d)) {
            fail(path, QStringLiteral("expected a whole number from 0 to %1").arg(maximum));
            return 0;
        }
        return std::uint32_t(d);
    }
    std::uint32_t count(const QJsonObject& o, const QString& path, const QString& key, std::uint32_t fallback,
                        std::uint32_t maximum = 4294967295u) {
        auto v = member(o, key);
        return v ? count(*v, at(path, key), maximum) : fallback;
    }

    std::int32_t pid(const QJsonObject& o, const QString& path, const QString& key, bool required) {
        auto v = member(o, key);
        if (!v) {
            if (required) fail(at(path, key), QStringLiteral("missing"));
            return 0;
        }
        double d = v->toDouble(-1);
        if (!v->isDouble() || d < 0 || d > 2147483647.0 || d != std::floor(d)) {
            fail(at(path, key), QStringLiteral("expected a process id from 0 to 2147483647"));
            return 0;
        }
        return std::int32_t(d);
    }

    bool boolean(const QJsonObject& o, const QString& path, const QString& key, bool fallback) {
        auto v = member(o, key);
        if (!v) return fallback;
        if (!v->isBool()) fail(at(path, key), QStringLiteral("expected true or false"));
        return v->toBool(fallback);
    }

    std::optional<std::uint32_t> code(const QJsonObject& o, const QString& path, const QString& key) {
        auto v = member(o, key);
        if (!v) return std::nullopt;
        QString s = v->toString();
        QByteArray b = s.toLatin1();
        if (!v->isString() || s.size() != 4 || QString::fromLatin1(b) != s) {
            fail(at(path, key), QStringLiteral("expected a four-character code such as \"usb \""));
            return std::nullopt;
        }
        return fourCC({b[0], b[1], b[2], b[3], 0});
    }

    QJsonObject object(const QJsonObject& o, const QString& path, const QString& key, bool& present) {
        auto v = member(o, key);
        present = v.has_value();
        if (v && !v->isObject()) fail(at(path, key), QStringLiteral("expected an object"));
        return v ? v->toObject() : QJsonObject();
    }

    QJsonArray array(const QJsonObject& o, const QString& path, const QString& key) {
        auto v = member(o, key);
        if (v && !v->isArray()) fail(at(path, key), QStringLiteral("expected an array"));
        return v ? v->toArray() : QJsonArray();
    }

    // An array of objects, each handed to `each` with its path.
    template <class F>
    void objects(const QJsonObject& o, const QString& path, const QString& key, F each) {
        QJsonArray items = array(o, path, key);
        for (qsizetype i = 0; i < items.size() && !failed(); ++i) {
            QString itemPath = at(at(path, key), i);
            if (!items[i].isObject()) {
                fail(itemPath, QStringLiteral("expected an object"));
                return;
            }
            each(items[i].toObject(), itemPath);
        }
    }
};

SimulatedDevice::Scope decodeScope(Decoder& d, const QJsonObject& o, const QString& path) {
    SimulatedDevice::Scope scope;
    QJsonArray streams = d.array(o, path, QStringLiteral("streams"));
    std::uint32_t channels = 0;
    for (qsizetype i = 0; i < streams.size() && !d.failed(); ++i) {
        scope.streams.channelsPerBuffer.push_back(
            d.count(streams[i], Decoder::at(Decoder::at(path, "streams"), i), kMaxChannels));
        channels += scope.streams.channelsPerBuffer.back();
        if (channels > kMaxChannels)
            d.fail(Decoder::at(path, "streams"), QStringLiteral("expected at most %1 channels in all").arg(kMaxChannels));
    }
    scope.dataSource = d.code(o, path, QStringLiteral("dataSource"));
    for (auto [key, field] : {std::pair{QStringLiteral("volume"), &scope.virtualMainVolume},
                              std::pair{QStringLiteral("volumeScalar"), &scope.volumeScalar}}) {
        bool present = false;
        QJsonObject v = d.object(o, path, key, present);
        if (!present) continue;
        QString vPath = Decoder::at(path, key);
        *field = SimulatedDevice::Volume{float(d.number(v, vPath, QStringLiteral("value"), 1.0, 0.0, 1.0)),
                                         d.boolean(v, vPath, QStringLiteral("settable"), true)};
    }
    bool hasMute = false;
    QJsonObject m = d.object(o, path, QStringLiteral("mute"), hasMute);
    if (hasMute) {
        QString mPath = Decoder::at(path, "mute");
        scope.mute = SimulatedDevice::Mute{d.boolean(m, mPath, QStringLiteral("muted"), false),
                                           d.boolean(m, mPath, QStringLiteral("settable"), true)};
    }
    scope.safetyOffset = d.count(o, path, QStringLiteral("safetyOffset"), 0);
    scope.latency = d.count(o, path, QStringLiteral("latency"), 0);
    return scope;
}

SimulatedDevice decodeDevice(Decoder& d, const QJsonObject& o, const QString& path) {
    SimulatedDevice device;
    device.uid = d.string(o, path, QStringLiteral("uid"), true);
    if (!d.failed() && device.uid.isEmpty()) d.fail(Decoder::at(path, "uid"), QStringLiteral("must not be empty"));
    device.name = d.string(o, path, QStringLiteral("name"), true);
    device.transport = d.code(o, path, QStringLiteral("transport")).value_or(hal::kTransportBuiltIn);
    for (auto [key, scope] : {std::pair{QStringLiteral("output"), &device.output},
                              std::pair{QStringLiteral("input"), &device.input}}) {
        bool present = false;
        QJsonObject s = d.object(o, path, key, present);
        if (present) *scope = decodeScope(d, s, Decoder::at(path, key));
    }
    device.sampleRate = d.number(o, path, QStringLiteral("sampleRate"), device.sampleRate, 1.0, 1e7);
    device.bufferFrameSize =
        d.count(o, path, QStringLiteral("bufferFrameSize"), device.bufferFrameSize, kMaxBufferFrames);
    QJsonArray range = d.array(o, path, QStringLiteral("bufferFrameSizeRange"));
    if (!range.isEmpty()) {
        QString rPath = Decoder::at(path, "bufferFrameSizeRange");
        if (range.size() != 2 || !range[0].isDouble() || !range[1].isDouble() || !(range[0].toDouble() >= 0) ||
            range[0].toDouble() > range[1].toDouble() || range[1].toDouble() > kMaxBufferFrames) {
            d.fail(rPath, QStringLiteral("expected [minimum, maximum] from 0 to %1").arg(kMaxBufferFrames));
        } else {
            device.bufferFrameSizeRange = {range[0].toDouble(), range[1].toDouble()};
        }
    }
    device.alive = d.boolean(o, path, QStringLiteral("alive"), true);
    device.runningSomewhere = d.boolean(o, path, QStringLiteral("runningSomewhere"), false);
    QJsonArray subDevices = d.array(o, path, QStringLiteral("subDevices"));
    for (qsizetype i = 0; i < subDevices.size(); ++i) {
        if (!subDevices[i].isString()) d.fail(Decoder::at(Decoder::at(path, "subDevices"), i), QStringLiteral("expected a string"));
        device.subDeviceUIDs.append(subDevices[i].toString());
    }
    if (!device.subDeviceUIDs.isEmpty() && !device.isAggregate())
        d.fail(Decoder::at(path, "subDevices"), QStringLiteral("only an aggregate device (transport \"grup\") has sub-devices"));
    return device;
}

Tone decodeTone(Decoder& d, const QJsonObject& o, const QString& path) {
    Tone tone;
    QString kind = d.string(o, path, QStringLiteral("kind"), true);
    if (kind == "sine") {
        tone.kind = Tone::Kind::sine;
        tone.frequency = d.number(o, path, QStringLiteral("frequency"), tone.frequency, 0.0, 1e6);
        tone.amplitude = float(d.number(o, path, QStringLiteral("amplitude"), tone.amplitude, 0.0, 1.0));
    } else if (kind == "dc") {
        tone.kind = Tone::Kind::dc;
        tone.value = float(d.number(o, path, QStringLiteral("value"), 0.0, -1.0, 1.0));
    } else if (kind != "silence" && !d.failed()) {
        d.fail(Decoder::at(path, "kind"), QStringLiteral("expected \"sine\", \"dc\" or \"silence\""));
    }
    return tone;
}

QJsonObject encodeScope(const SimulatedDevice::Scope& s) {
    QJsonObject o;
    QJsonArray streams;
    for (auto n : s.streams.channelsPerBuffer) streams.append(qint64(n));
    o["streams"] = streams;
    if (s.dataSource) o["dataSource"] = codeText(*s.dataSource);
    for (auto [key, field] : {std::pair{"volume", &s.virtualMainVolume}, std::pair{"volumeScalar", &s.volumeScalar}}) {
        if (*field) o[key] = QJsonObject{{"value", json::floatAsJson((*field)->value)}, {"settable", (*field)->settable}};
    }
    if (s.mute) o["mute"] = QJsonObject{{"muted", s.mute->muted}, {"settable", s.mute->settable}};
    o["safetyOffset"] = qint64(s.safetyOffset);
    o["latency"] = qint64(s.latency);
    return o;
}

SimulatedDevice::Scope channels(std::vector<std::uint32_t> streams) {
    SimulatedDevice::Scope scope;
    scope.streams.channelsPerBuffer = std::move(streams);
    scope.virtualMainVolume = SimulatedDevice::Volume{0.75f, true};
    scope.volumeScalar = SimulatedDevice::Volume{0.75f, true};
    scope.mute = SimulatedDevice::Mute{false, true};
    return scope;
}

}  // namespace

SimulatedWorld SimulatedWorld::builtIn() {
    SimulatedWorld world;

    SimulatedDevice builtInOutput;
    builtInOutput.uid = QStringLiteral("BuiltInSpeakerDevice");
    builtInOutput.name = QStringLiteral("Built-in Output");
    builtInOutput.transport = hal::kTransportBuiltIn;
    builtInOutput.output = channels({2});
    builtInOutput.output.dataSource = hal::kDataSourceInternalSpeaker;
    builtInOutput.output.safetyOffset = 32;
    builtInOutput.output.latency = 40;

    SimulatedDevice usb;
    usb.uid = QStringLiteral("USB-Interface-8x8");
    usb.name = QStringLiteral("USB Audio Interface");
    usb.transport = hal::kTransportUSB;
    usb.output = channels({8});
    usb.output.safetyOffset = 24;
    usb.output.latency = 32;
    usb.input = channels({8});
    usb.input.safetyOffset = 24;
    usb.input.latency = 32;
    usb.bufferFrameSizeRange = {32.0, 4096.0};

    SimulatedDevice headset;
    headset.uid = QStringLiteral("00-1A-7D-DA-71-13:output");
    headset.name = QStringLiteral("Bluetooth Headset");
    headset.transport = hal::kTransportBluetooth;
    headset.output = channels({2});
    headset.output.latency = 2048;
    headset.output.volumeScalar.reset();
    headset.sampleRate = 44100.0;

    world.devices = {builtInOutput, usb, headset};
    world.defaultOutputUID = usb.uid;
    world.defaultInputUID = usb.uid;

    auto process = [](std::int32_t pid, const char* bundleID, const char* name, bool playing, Tone tone) {
        return Process{SimulatedProcess{pid, QString::fromLatin1(bundleID), QString::fromLatin1(name), playing, false, 0},
                       tone};
    };
    world.processes = {
        process(4101, "org.quellor.sim.tone-a", "Tone A", true, Tone{Tone::Kind::sine, 440.0, 0.25f, 0.0f}),
        process(4102, "org.quellor.sim.tone-b", "Tone B", true, Tone{Tone::Kind::sine, 1000.0, 0.125f, 0.0f}),
        process(4103, "org.quellor.sim.quiet", "Quiet Player", false, Tone{}),
    };
    world.bluetooth = {BluetoothDevice{QStringLiteral("00-1a-7d-da-71-13"), QStringLiteral("Bluetooth Headset"), 6,
                                       true, headset.uid}};
    return world;
}

std::optional<SimulatedWorld> SimulatedWorld::fromJson(const QByteArray& text, QString& error) {
    QJsonParseError parseError;
    QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = QStringLiteral("not valid JSON at offset %1: %2").arg(parseError.offset).arg(parseError.errorString());
        return std::nullopt;
    }
    if (!doc.isObject()) {
        error = QStringLiteral("the top level must be an object");
        return std::nullopt;
    }
    QJsonObject root = doc.object();
    Decoder d;
    SimulatedWorld world;
    QSet<QString> uids;
    d.objects(root, {}, QStringLiteral("devices"), [&](const QJsonObject& o, const QString& path) {
        world.devices.push_back(decodeDevice(d, o, path));
        if (!d.failed() && uids.contains(world.devices.back().uid))
            d.fail(Decoder::at(path, "uid"), QStringLiteral("\"%1\" is used twice").arg(world.devices.back().uid));
        uids.insert(world.devices.back().uid);
    });
    for (auto [key, field] : {std::pair{QStringLiteral("defaultOutput"), &world.defaultOutputUID},
                              std::pair{QStringLiteral("defaultInput"), &world.defaultInputUID}}) {
        *field = d.string(root, {}, key);
        if (!d.failed() && !field->isEmpty() && !uids.contains(*field))
            d.fail(key, QStringLiteral("no device has the uid \"%1\"").arg(*field));
    }
    d.objects(root, {}, QStringLiteral("processes"), [&](const QJsonObject& o, const QString& path) {
        Process p;
        p.process.pid = d.pid(o, path, QStringLiteral("pid"), true);
        p.process.bundleID = d.string(o, path, QStringLiteral("bundleID"));
        p.process.name = d.string(o, path, QStringLiteral("name"));
        p.process.runningOutput = d.boolean(o, path, QStringLiteral("playing"), false);
        p.process.runningInput = d.boolean(o, path, QStringLiteral("recording"), false);
        p.process.responsiblePid = d.pid(o, path, QStringLiteral("responsiblePid"), false);
        bool hasTone = false;
        QJsonObject tone = d.object(o, path, QStringLiteral("tone"), hasTone);
        if (hasTone) p.tone = decodeTone(d, tone, Decoder::at(path, "tone"));
        world.processes.push_back(p);
    });
    world.capturePermission = d.boolean(root, {}, QStringLiteral("capturePermission"), true);
    d.objects(root, {}, QStringLiteral("bluetooth"), [&](const QJsonObject& o, const QString& path) {
        BluetoothDevice b;
        b.address = d.string(o, path, QStringLiteral("address"), true);
        b.name = d.string(o, path, QStringLiteral("name"));
        b.minorClass = d.count(o, path, QStringLiteral("minorClass"), 0);
        b.connected = d.boolean(o, path, QStringLiteral("connected"), false);
        b.deviceUID = d.string(o, path, QStringLiteral("deviceUID"));
        world.bluetooth.push_back(b);
    });
    if (d.failed()) {
        error = d.error;
        return std::nullopt;
    }
    return world;
}

std::optional<SimulatedWorld> SimulatedWorld::load(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    auto world = fromJson(file.readAll(), error);
    if (!world) error = path + QStringLiteral(": ") + error;
    return world;
}

QByteArray SimulatedWorld::toJson() const {
    QJsonArray devicesJson;
    for (const auto& device : devices) {
        QJsonObject o{{"uid", device.uid},
                      {"name", device.name},
                      {"transport", codeText(device.transport)},
                      {"output", encodeScope(device.output)},
                      {"input", encodeScope(device.input)},
                      {"sampleRate", device.sampleRate},
                      {"bufferFrameSize", qint64(device.bufferFrameSize)},
                      {"bufferFrameSizeRange",
                       QJsonArray{device.bufferFrameSizeRange.minimum, device.bufferFrameSizeRange.maximum}},
                      {"alive", device.alive},
                      {"runningSomewhere", device.runningSomewhere}};
        if (device.isAggregate()) o["subDevices"] = QJsonArray::fromStringList(device.subDeviceUIDs);
        devicesJson.append(o);
    }
    QJsonArray processesJson;
    for (const auto& p : processes) {
        QJsonObject tone{{"kind", toneKindName(p.tone.kind)}};
        if (p.tone.kind == Tone::Kind::sine) {
            tone["frequency"] = p.tone.frequency;
            tone["amplitude"] = json::floatAsJson(p.tone.amplitude);
        } else if (p.tone.kind == Tone::Kind::dc) {
            tone["value"] = json::floatAsJson(p.tone.value);
        }
        QJsonObject o{{"pid", p.process.pid},
                      {"bundleID", p.process.bundleID},
                      {"name", p.process.name},
                      {"playing", p.process.runningOutput},
                      {"recording", p.process.runningInput},
                      {"tone", tone}};
        if (p.process.responsiblePid != 0) o["responsiblePid"] = p.process.responsiblePid;
        processesJson.append(o);
    }
    QJsonArray bluetoothJson;
    for (const auto& b : bluetooth) {
        QJsonObject o{{"address", b.address}, {"name", b.name}, {"minorClass", qint64(b.minorClass)},
                      {"connected", b.connected}};
        if (!b.deviceUID.isEmpty()) o["deviceUID"] = b.deviceUID;
        bluetoothJson.append(o);
    }
    QJsonObject root{{"devices", devicesJson}, {"processes", processesJson}, {"bluetooth", bluetoothJson}};
    if (!defaultOutputUID.isEmpty()) root["defaultOutput"] = defaultOutputUID;
    if (!defaultInputUID.isEmpty()) root["defaultInput"] = defaultInputUID;
    if (!capturePermission) root["capturePermission"] = false;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool SimulatedWorld::save(const QString& path, QString& error) const {
    QString why;
    if (writeFileAtomically(path, toJson(), &why)) return true;
    error = QStringLiteral("cannot write %1").arg(why);
    return false;
}

void SimulatedWorld::populate(SimulatedHardware& hardware) const {
    for (const auto& device : devices) hardware.addDevice(device);
    for (const auto& p : processes) hardware.io().setTone(hardware.addProcess(p.process), p.tone);
    if (!defaultOutputUID.isEmpty()) hardware.setDefaultOutputDevice(hardware.deviceWithUID(defaultOutputUID));
    if (!defaultInputUID.isEmpty()) hardware.setDefaultInputDevice(hardware.deviceWithUID(defaultInputUID));
    hardware.io().setCapturePermission(capturePermission);
}

}  // namespace quellor
