// The global hot key against a real X server (ctest runs this under xvfb-run). Another X
// client is a raw xcb connection of the test.
#include <cstdlib>
#include <memory>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>
#include <xcb/xcb.h>

#include "shell/GlobalHotKey.h"
#include "shell/VirtualKeyTable.h"

namespace {

bool g_haveDisplay = false;

xcb_window_t rootOf(xcb_connection_t* c) { return xcb_setup_roots_iterator(xcb_get_setup(c)).data->root; }

uint8_t keycodeFor(xcb_connection_t* c, uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> reply(
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, uint8_t(count)), nullptr),
        &std::free);
    if (!reply)
        return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    for (int k = 0; k < count; ++k)
        if (syms[k * reply->keysyms_per_keycode] == keysym)
            return uint8_t(setup->min_keycode + k);
    return 0;
}

// A second X client holding one grab.
struct OtherClient {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    ~OtherClient() { xcb_disconnect(c); }
    bool grab(uint8_t keycode, uint16_t mods) {
        xcb_generic_error_t* e = xcb_request_check(
            c, xcb_grab_key_checked(c, 1, rootOf(c), mods, keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(e);
        return e == nullptr;
    }
};

}  // namespace

class GlobalHotKeyX11Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!g_haveDisplay)
            QSKIP("no X server could be reached (run under xvfb-run)");
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
    }

    void grabOfAFreeKeySucceeds() {
        GlobalHotKey key;
        QSignalSpy failed(&key, &GlobalHotKey::registrationFailed);
        QString reason;
        QVERIFY2(key.registerKey(112, VirtualKeyTable::kHotKeyAlt, &reason), qPrintable(reason));
        QVERIFY(key.isRegistered());
        QCOMPARE(failed.count(), 0);
        // Every lock variant is held: another client cannot grab Alt+F1 with Caps Lock.
        OtherClient other;
        const uint8_t f1 = keycodeFor(other.c, 0xffbe);
        QVERIFY(f1 != 0);
        QVERIFY(!other.grab(f1, XCB_MOD_MASK_1 | XCB_MOD_MASK_LOCK));
        key.unregisterKey();
        QVERIFY(other.grab(f1, XCB_MOD_MASK_1 | XCB_MOD_MASK_LOCK));
    }

    // Another client holds the key: registration fails with a reason, one failure signal
    // (one warning) for the call, and none of the variants stays grabbed.
    void keyHeldByAnotherClientFailsOnce() {
        OtherClient other;
        const uint8_t f2 = keycodeFor(other.c, 0xffbf);
        QVERIFY(f2 != 0);
        QVERIFY(other.grab(f2, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_2));  // only the Num Lock variant
        GlobalHotKey key;
        QSignalSpy failed(&key, &GlobalHotKey::registrationFailed);
        QString reason;
        QVERIFY(!key.registerKey(113, VirtualKeyTable::kHotKeyCtrl, &reason));
        QVERIFY(!key.isRegistered());
        QVERIFY(reason.contains("another program"));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toString(), reason);
        OtherClient third;
        QVERIFY(third.grab(f2, XCB_MOD_MASK_CONTROL));  // the plain variant was released
    }

    // The native event filter: a press of the key with any lock state activates; other
    // modifiers or keys do not.
    void pressActivates_data() {
        QTest::addColumn<int>("keyOffset");
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("activates");
        QTest::newRow("Alt") << 0 << int(XCB_MOD_MASK_1) << true;
        QTest::newRow("Alt + Num Lock") << 0 << int(XCB_MOD_MASK_1 | XCB_MOD_MASK_2) << true;
        QTest::newRow("Alt + Caps Lock") << 0 << int(XCB_MOD_MASK_1 | XCB_MOD_MASK_LOCK) << true;
        QTest::newRow("Ctrl+Alt") << 0 << int(XCB_MOD_MASK_1 | XCB_MOD_MASK_CONTROL) << false;
        QTest::newRow("no modifier") << 0 << 0 << false;
        QTest::newRow("other key") << 1 << int(XCB_MOD_MASK_1) << false;
    }
    void pressActivates() {
        QFETCH(int, keyOffset);
        QFETCH(int, state);
        QFETCH(bool, activates);
        GlobalHotKey key;
        QVERIFY(key.registerKey(0x7B, VirtualKeyTable::kHotKeyAlt));  // Alt+F12
        QSignalSpy activated(&key, &GlobalHotKey::activated);
        OtherClient probe;
        xcb_key_press_event_t press{};
        press.response_type = XCB_KEY_PRESS;
        press.detail = uint8_t(keycodeFor(probe.c, 0xffc9) + keyOffset);
        press.state = uint16_t(state);
        qintptr result = 0;
        QCOMPARE(key.nativeEventFilter("xcb_generic_event_t", &press, &result), activates);
        QCOMPARE(activated.count(), activates ? 1 : 0);
    }
};

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    // The probe stays connected until the application has its own connection: an X server
    // that loses its last client resets and refuses connections for a moment.
    xcb_connection_t* probe = xcb_connect(nullptr, nullptr);
    g_haveDisplay = probe && !xcb_connection_has_error(probe);
    if (!g_haveDisplay)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (probe)
        xcb_disconnect(probe);
    GlobalHotKeyX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "GlobalHotKeyX11Test.moc"
