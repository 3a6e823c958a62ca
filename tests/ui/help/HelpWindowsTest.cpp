// The Help windows of the real main window: their look, placement, keys, single
// instances, the program that ends only with the last window, and the About window's
// system-information launcher on a scripted registry, file system and shell.
#include "tests/support/MainWindowFixture.h"
#include "ui/Form1.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <map>
#include <set>

namespace kinemo::test {
namespace {

using namespace std::string_literals;
using Strings = std::vector<std::string>;

int visibleWindowsNamed(const QString& name) {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) count += w->objectName() == name && w->isVisible();
    return count;
}

void expectCentred(const QWidget* window) {
    const QPoint offset = window->frameGeometry().center() - window->screen()->geometry().center();
    EXPECT_TRUE(std::abs(offset.x()) <= 1 && std::abs(offset.y()) <= 1) << offset.x() << ", " << offset.y();
}

class HelpWindowsTest : public MainWindowFixture {
protected:
    void TearDown() override {
        MainWindowFixture::TearDown();
        processDeferredDeletes();
        EXPECT_EQ(visibleWindowsNamed("frmAbout") + visibleWindowsNamed("Form1"), 0);
    }
    static void processDeferredDeletes() {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    HelpWindows& help() { return window->helpWindows(); }
};

TEST_F(HelpWindowsTest, OneAboutWindowCentredWithTitleAndVersionClosedByEscEnterOrOk) {
    help().InfoVersion_Click();
    QWidget* about = help().aboutWindow();
    ASSERT_NE(about, nullptr);
    help().InfoVersion_Click();
    EXPECT_EQ(help().aboutWindow(), about);
    EXPECT_EQ(visibleWindowsNamed("frmAbout"), 1);
    EXPECT_FALSE(about->isModal());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("Kinemoのﾊﾞｰｼﾞｮﾝ情報"));
    EXPECT_EQ(about->findChild<QLabel*>("lblVersion")->text(), QStringLiteral("Version 1.0.15"));
    EXPECT_EQ(about->findChild<QLabel*>("lblTitle")->text(), QStringLiteral("Kinemo"));
    EXPECT_EQ(about->size(), QSize(382, 362));
    for (const char* name : {"lblTitle", "cmdOK"})
        EXPECT_LE(std::abs(about->findChild<QWidget*>(name)->geometry().center().x() - 382 / 2), 1) << name;
    // Kept out of the task bar, without minimise or maximise box.
    EXPECT_EQ(about->windowType(), Qt::Tool);
    EXPECT_FALSE(about->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    expectCentred(about);

    for (int key : {int{Qt::Key_Escape}, int{Qt::Key_Return}, int{Qt::Key_Enter}, 0}) {
        help().InfoVersion_Click();
        QPointer<QWidget> shown = help().aboutWindow();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        if (key == 0)
            shown->findChild<QPushButton*>("cmdOK")->click();
        else
            QApplication::sendEvent(shown->focusWidget() ? shown->focusWidget() : shown.data(), &press);
        EXPECT_EQ(help().aboutWindow(), nullptr) << key;
        processDeferredDeletes();
        EXPECT_TRUE(shown.isNull()) << key;
    }
}

TEST_F(HelpWindowsTest, OneAxisWindowShowingThePictureInAFramedBoxCentredOnEveryLoad) {
    help().WiiAx_Click();
    QWidget* axis = help().axisWindow();
    ASSERT_NE(axis, nullptr);
    help().WiiAx_Click();
    EXPECT_EQ(help().axisWindow(), axis);
    EXPECT_EQ(visibleWindowsNamed("Form1"), 1);
    EXPECT_EQ(axis->windowTitle(), QStringLiteral("３軸の方向"));
    EXPECT_EQ(axis->size(), QSize(185, 293));
    const auto* picture = axis->findChild<QLabel*>("Picture1");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->geometry(), QRect(-8, 0, 199, 298));
    EXPECT_EQ(picture->pixmap().size(), QSize(195, 294));
    EXPECT_EQ(picture->contentsRect().size(), QSize(195, 294)) << "a frame 2 pixels wide";
    QFile jpeg(QString::fromLatin1(kAxisPicture));
    ASSERT_TRUE(jpeg.open(QIODevice::ReadOnly));
    EXPECT_FALSE(jpeg.readAll().contains("\xFF\xC2")) << "a baseline JPEG, not a progressive one";
    expectCentred(axis);

    axis->move(3, 4);
    axis->close();
    help().WiiAx_Click();  // before the closed window is gone
    processDeferredDeletes();
    ASSERT_NE(help().axisWindow(), nullptr);
    EXPECT_EQ(visibleWindowsNamed("Form1"), 1);
    expectCentred(help().axisWindow());
}

// Closing the main window leaves an open Help window open (the About window is a
// tool window, which by default would not keep the program alive); the program ends
// when that last window is closed. The closed main window's timer must not tick on
// into the released remote meanwhile.
TEST_F(HelpWindowsTest, TheProgramEndsWithTheLastWindow) {
    for (bool about : {true, false}) {
        window->show();
        about ? help().InfoVersion_Click() : help().WiiAx_Click();
        QWidget* helpWindow = about ? help().aboutWindow() : help().axisWindow();
        bool openAfterMainClosed = false;
        int lastWindowClosed = 0;
        const auto counter = QObject::connect(qApp, &QGuiApplication::lastWindowClosed, [&] { ++lastWindowClosed; });
        QTimer::singleShot(0, helpWindow, [&] { window->close(); });
        QTimer::singleShot(20, helpWindow, [&] {
            openAfterMainClosed = helpWindow->isVisible() && lastWindowClosed == 0;
            helpWindow->close();
        });
        QTimer::singleShot(5000, window.get(), [] { QApplication::exit(1); });  // rather than hang
        EXPECT_EQ(QApplication::exec(), 0) << about;
        QObject::disconnect(counter);
        EXPECT_TRUE(openAfterMainClosed) << about;
        EXPECT_EQ(lastWindowClosed, 1) << about;
    }
}

// On Linux the About window's hidden button tells the user in the real message box,
// captioned with the program's title and offering only OK.
TEST_F(HelpWindowsTest, OnLinuxSystemInformationIsUnavailable) {
    Strings shown;  // caption, text, number of buttons
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            shown = {box->windowTitle().toStdString(), box->text().toStdString(),
                     std::to_string(box->buttons().size())};
        if (modal) modal->close();
    });
    help().InfoVersion_Click();
    help().aboutWindow()->findChild<QPushButton*>("cmdSysInfo")->click();
    EXPECT_EQ(shown, (Strings{"Kinemo", "現時点ではｼｽﾃﾑ情報を使用できません", "1"}));
}

class FakeSysInfo final : public SysInfoPlatform {
public:
    // key under HKEY_LOCAL_MACHINE -> value name -> type and bytes
    std::map<std::string, std::map<std::string, std::pair<std::uint32_t, std::string>>> registry;
    std::set<std::string> files;
    bool startSucceeds = true;
    int openKeys = 0;
    Strings keysTried, filesLookedFor, started, messages;

    bool RegOpenKey(RegistryKey root, const std::string& subKey, std::uint32_t, RegistryKey& opened) override {
        keysTried.push_back(subKey);
        if (root != kHkeyLocalMachine || !registry.contains(subKey)) return false;
        opened = keysTried.size();
        ++openKeys;
        return true;
    }
    bool RegQueryValue(RegistryKey key, const std::string& name, std::uint32_t& type, std::span<std::uint8_t> buffer,
                       std::uint32_t& size) override {
        const auto& values = registry.at(keysTried.at(key - 1));
        const auto found = values.find(name);
        if (found == values.end() || found->second.second.size() > buffer.size()) return false;
        type = found->second.first;
        size = static_cast<std::uint32_t>(found->second.second.size());
        std::copy(found->second.second.begin(), found->second.second.end(), buffer.begin());
        return true;
    }
    void RegCloseKey(RegistryKey) override { --openKeys; }
    bool fileExists(const std::string& path) override {
        filesLookedFor.push_back(path);
        return files.contains(path);
    }
    bool startProgram(const std::string& path) override {
        started.push_back(path);
        return startSucceeds;
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }
};

TEST(StartSysInfo, StartsThePathValueOrTheLocationsToolOrSaysItIsUnavailable) {
    const std::string tool = "C:\\Tools\\msinfo32.exe", shared = "C:\\Shared\\MSINFO32.EXE";
    const Strings unavailable{"現時点ではｼｽﾃﾑ情報を使用できません"};
    const struct {
        const char* name;
        bool path, location, fileThere, starts;
        Strings looked, started, messages;
    } cases[] = {
        {"PATH, started without looking for it", true, true, false, true, {}, {tool}, {}},
        {"the location holds MSINFO32.EXE", false, true, true, true, {shared}, {shared}, {}},
        {"the location without it", false, true, false, true, {shared}, {}, unavailable},
        {"no key at all", false, false, false, true, {}, {}, unavailable},
        {"PATH that does not start", true, false, false, false, {}, {tool}, unavailable},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        FakeSysInfo p;
        if (k.location) p.registry[kMsinfoKey]["OTHER"] = {kRegString, "x\0"s};  // the key without PATH
        if (k.path) p.registry[kMsinfoKey]["PATH"] = {kRegString, tool + '\0'};
        if (k.location) p.registry[kMsinfoLocationKey]["MSINFO"] = {kRegString, "C:\\Shared\0"s};
        if (k.fileThere) p.files.insert(shared);
        p.startSucceeds = k.starts;
        StartSysInfo(p);
        EXPECT_EQ(p.keysTried, k.path ? Strings{kMsinfoKey} : (Strings{kMsinfoKey, kMsinfoLocationKey}));
        EXPECT_EQ(p.filesLookedFor, k.looked);
        EXPECT_EQ(p.started, k.started);
        EXPECT_EQ(p.messages, k.messages);
        EXPECT_EQ(p.openKeys, 0) << "a registry key was left open";
    }
}

TEST(StartSysInfo, GetKeyValueReadsStringsAndNumbersAsText) {
    FakeSysInfo p;
    auto& values = p.registry["K"];
    values["terminated"] = {kRegString, "abc\0"s};
    values["unterminated"] = {kRegString, "abc"};
    values["dword"] = {kRegDword, "\x0A\x02\x01\x00"s};
    values["expandable"] = {2, "%X%\0"s};
    values["huge"] = {kRegString, std::string(kRegistryValueBuffer + 1, 'x')};
    const auto read = [&](const char* key, const char* name, std::string value) {
        const bool found = GetKeyValue(p, kHkeyLocalMachine, key, name, value);
        return std::pair{found, value};
    };
    using Read = std::pair<bool, std::string>;
    EXPECT_EQ(read("K", "terminated", ""), Read(true, "abc"));
    EXPECT_EQ(read("K", "unterminated", ""), Read(true, "abc"));
    EXPECT_EQ(read("K", "dword", ""), Read(true, "&h0001020A"));
    EXPECT_EQ(read("K", "expandable", "kept"), Read(true, "kept"));
    EXPECT_EQ(read("K", "absent", "stale"), Read(false, ""));
    EXPECT_EQ(read("K", "huge", "stale"), Read(false, ""));
    EXPECT_EQ(read("No\\Such\\Key", "PATH", "stale"), Read(false, ""));
    EXPECT_EQ(p.openKeys, 0);
}

}  // namespace
}  // namespace kinemo::test
