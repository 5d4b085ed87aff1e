// The settings widgets' wiring: the window's tabs and closing, the port field's Return and focus
// rules, the companion switches and copy buttons, and the buffer picker that stores only a pick.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "EngineFixture.h"
#include "ui/settings/AudioSettingsView.h"
#include "ui/settings/CompanionSettingsView.h"
#include "ui/settings/SettingsWindow.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

template <typename T>
T* child(QWidget& parent, const char* name) {
    T* w = parent.findChild<T*>(QLatin1String(name));
    EXPECT_TRUE(w) << name;
    return w;
}

class SettingsWidgetsTest : public EngineFixture {
protected:
    int restarts() const { return int(std::count(remote.calls.begin(), remote.calls.end(), QString("restart"))); }
    ThemeController themes{defaults()};
};

TEST_F(SettingsWidgetsTest, TheWindowShowsItsTabsInOrderAndStartsEachPresentationOnGeneral) {
    SettingsWindow window(themes);
    EXPECT_EQ(window.size(), QSize(560, 640));
    QStringList labels;
    for (SettingsTab tab : kAllSettingsTabs) labels << window.tabButton(tab)->text();
    EXPECT_EQ(labels, QStringList({"General", "Devices", "Audio", "iOS"}));

    auto* audio = new QLabel("latency");
    window.setPage(SettingsTab::Audio, audio);
    EXPECT_EQ(window.page(SettingsTab::Audio), audio);
    EXPECT_EQ(window.page(SettingsTab::Devices)->objectName(), "settings-placeholder-devices");
    window.present();
    QTest::mouseClick(window.tabButton(SettingsTab::Audio), Qt::LeftButton);
    EXPECT_EQ(window.currentTab(), SettingsTab::Audio);
    EXPECT_TRUE(audio->isVisible());

    // The devices page arrives later and replaces the placeholder.
    auto* devices = new QLabel("devices");
    window.setPage(SettingsTab::Devices, devices);
    QTest::mouseClick(window.tabButton(SettingsTab::Devices), Qt::LeftButton);
    EXPECT_TRUE(devices->isVisible());
    EXPECT_FALSE(audio->isVisible());

    window.hide();
    window.present();
    EXPECT_EQ(window.currentTab(), SettingsTab::General);
    EXPECT_TRUE(window.tabButton(SettingsTab::General)->isChecked());
}

TEST_F(SettingsWidgetsTest, DoneAndEscapeBothAskToClose) {
    SettingsWindow window(themes);
    QSignalSpy closes(&window, &SettingsWindow::closeRequested);
    window.present();
    QTest::mouseClick(child<QPushButton>(window, "settings-close"), Qt::LeftButton);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(closes.count(), 2);
}

TEST_F(SettingsWidgetsTest, ThePortFieldStoresOnReturnAndLeavingItShowsTheStoredPort) {
    defaults().setInteger("oscPort", 9100);
    QWidget top;
    auto* section = new CompanionSettingsView(engine(), defaults(), themes, {}, &top);
    auto* other = new QLineEdit(&top);
    top.show();
    QApplication::setActiveWindow(&top);
    QLineEdit* port = child<QLineEdit>(*section, "companion-osc-port");
    EXPECT_EQ(port->text(), "9100");

    port->setFocus();
    port->selectAll();
    QTest::keyClicks(port, "9200");
    QTest::keyClick(port, Qt::Key_Return);
    EXPECT_EQ(defaults().integerValue("oscPort"), 9200);
    EXPECT_EQ(restarts(), 1);

    port->selectAll();
    QTest::keyClicks(port, "65536");
    QTest::keyClick(port, Qt::Key_Return);
    EXPECT_EQ(defaults().integerValue("oscPort"), 9000);
    EXPECT_EQ(port->text(), "9000");

    port->selectAll();
    QTest::keyClicks(port, "9300");
    other->setFocus();  // left without Return
    EXPECT_EQ(port->text(), "9000");
    EXPECT_EQ(defaults().integerValue("oscPort"), 9000);
    EXPECT_EQ(restarts(), 2);

    // Reception off: the listener restarts (to stop) and the field cannot be edited.
    QTest::mouseClick(child<QCheckBox>(*section, "companion-osc-enabled"), Qt::LeftButton,
                      {}, QPoint(5, child<QCheckBox>(*section, "companion-osc-enabled")->height() / 2));
    EXPECT_EQ(defaults().boolValue("oscEnabled"), false);
    EXPECT_EQ(restarts(), 3);
    EXPECT_FALSE(port->isEnabled());
}

TEST_F(SettingsWidgetsTest, CodesCopyTheirDigitsAndTheOpenWarningFollowsTheRequirement) {
    remote.pin = "342913";
    QStringList copied;
    QWidget top;
    auto* section = new CompanionSettingsView(engine(), defaults(), themes,
                                              {[&](const QString& t) { copied << t; }, {}}, &top);
    top.show();
    auto* pin = child<QLabel>(*section, "companion-pin");
    auto* reveal = child<QToolButton>(*section, "companion-reveal-pin");
    EXPECT_EQ(pin->text(), kSecretMask);
    EXPECT_EQ(reveal->text(), "Show");
    QTest::mouseClick(child<QToolButton>(*section, "companion-copy-pin"), Qt::LeftButton);
    EXPECT_EQ(copied, QStringList{"342913"});
    QTest::mouseClick(reveal, Qt::LeftButton);
    EXPECT_EQ(pin->text(), "3 4 2 9 1 3");
    EXPECT_EQ(reveal->text(), "Hide");
    QTest::mouseClick(child<QToolButton>(*section, "companion-new-pin"), Qt::LeftButton);
    EXPECT_EQ(pin->text(), "3 4 2 9 1 4");

    // Shown afresh (the window closed and opened again), both codes are masked once more.
    auto* password = child<QLabel>(*section, "companion-password");
    QTest::mouseClick(child<QToolButton>(*section, "companion-reveal-password"), Qt::LeftButton);
    ASSERT_NE(password->text(), kSecretMask);
    top.hide();
    top.show();
    EXPECT_EQ(pin->text(), kSecretMask);
    EXPECT_EQ(reveal->text(), "Show");
    EXPECT_EQ(password->text(), kSecretMask);
    EXPECT_EQ(child<QToolButton>(*section, "companion-reveal-password")->text(), "Show");

    auto* warning = child<QLabel>(*section, "companion-open-warning");
    auto* require = child<QCheckBox>(*section, "companion-require-password");
    EXPECT_FALSE(warning->isVisible());
    require->click();
    EXPECT_EQ(defaults().boolValue("oscPinRequired"), false);
    EXPECT_TRUE(warning->isVisible());
    EXPECT_TRUE(child<QLabel>(*section, "companion-open-note")->isVisible());
    require->click();
    EXPECT_FALSE(warning->isVisible());
}

TEST_F(SettingsWidgetsTest, TheBufferPickerStoresOnlyWhatTheUserPicks) {
    defaults().setInteger("ioBufferFrames", 100);
    startEngine();
    QWidget top;
    auto* section = new AudioSettingsView(engine(), defaults(), themes, &top);
    top.show();
    auto* buffer = child<QComboBox>(*section, "settings-buffer-size");
    EXPECT_EQ(buffer->currentText(), "100 frames");
    EXPECT_EQ(buffer->count(), 8);
    EXPECT_EQ(defaults().integerValue("ioBufferFrames"), 100);
    EXPECT_FALSE(child<QLabel>(*section, "settings-latency")->isVisible());  // no output device

    buffer->setFocus();
    QTest::keyClick(buffer, Qt::Key_Home);  // Automatic
    EXPECT_EQ(defaults().integerValue("ioBufferFrames"), 0);
    EXPECT_EQ(buffer->count(), 7);
    EXPECT_EQ(buffer->currentText(), "Automatic");

    const AudioObjectID device = addOutputDevice("Interface", 2);
    hardware.setDefaultOutputDevice(device);
    settle();
    EXPECT_EQ(child<QLabel>(*section, "settings-latency")->text(), "≈ 10.7 ms out");
    EXPECT_TRUE(child<QLabel>(*section, "settings-latency")->isVisible());
    child<QCheckBox>(*section, "settings-min-latency")->click();
    EXPECT_EQ(defaults().boolValue("minLatencyMode"), true);
}

}  // namespace
}  // namespace quellor::test
