// The table between stored virtual-key codes and Qt keys, and the modifier forms.
#include <QSignalSpy>
#include <QtTest>

#include "shell/GlobalHotKey.h"
#include "shell/VirtualKeyTable.h"

class VirtualKeyTableTest : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data() {
        QTest::addColumn<int>("vk");
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<uint>("keysym");
        QTest::newRow("A") << 0x41 << int(Qt::Key_A) << false << 0x61u;
        QTest::newRow("Z") << 0x5A << int(Qt::Key_Z) << false << 0x7au;
        QTest::newRow("0") << 0x30 << int(Qt::Key_0) << false << 0x30u;
        QTest::newRow("F1") << 0x70 << int(Qt::Key_F1) << false << 0xffbeu;
        QTest::newRow("F24") << 0x87 << int(Qt::Key_F24) << false << 0xffd5u;
        QTest::newRow("numpad 0") << 0x60 << int(Qt::Key_0) << true << 0xffb0u;
        QTest::newRow("numpad 9") << 0x69 << int(Qt::Key_9) << true << 0xffb9u;
        QTest::newRow("numpad *") << 0x6A << int(Qt::Key_Asterisk) << true << 0xffaau;
        QTest::newRow("numpad -") << 0x6D << int(Qt::Key_Minus) << true << 0xffadu;
        QTest::newRow("left") << 0x25 << int(Qt::Key_Left) << false << 0xff51u;
        QTest::newRow("down") << 0x28 << int(Qt::Key_Down) << false << 0xff54u;
        QTest::newRow("page up") << 0x21 << int(Qt::Key_PageUp) << false << 0xff55u;
        QTest::newRow("page down") << 0x22 << int(Qt::Key_PageDown) << false << 0xff56u;
        QTest::newRow("home") << 0x24 << int(Qt::Key_Home) << false << 0xff50u;
        QTest::newRow("end") << 0x23 << int(Qt::Key_End) << false << 0xff57u;
        QTest::newRow("insert") << 0x2D << int(Qt::Key_Insert) << false << 0xff63u;
        QTest::newRow("delete") << 0x2E << int(Qt::Key_Delete) << false << 0xffffu;
        QTest::newRow("space") << 0x20 << int(Qt::Key_Space) << false << 0x20u;
        QTest::newRow("tab") << 0x09 << int(Qt::Key_Tab) << false << 0xff09u;
        QTest::newRow("return") << 0x0D << int(Qt::Key_Return) << false << 0xff0du;
        QTest::newRow("escape") << 0x1B << int(Qt::Key_Escape) << false << 0xff1bu;
        QTest::newRow("backspace") << 0x08 << int(Qt::Key_Backspace) << false << 0xff08u;
        QTest::newRow("OEM_1 ;") << 0xBA << int(Qt::Key_Semicolon) << false << 0x3bu;
        QTest::newRow("OEM_MINUS") << 0xBD << int(Qt::Key_Minus) << false << 0x2du;
        QTest::newRow("OEM_2 /") << 0xBF << int(Qt::Key_Slash) << false << 0x2fu;
        QTest::newRow("OEM_7 '") << 0xDE << int(Qt::Key_Apostrophe) << false << 0x27u;
    }
    void roundTrip() {
        QFETCH(int, vk);
        QFETCH(int, qtKey);
        QFETCH(bool, keypad);
        QFETCH(uint, keysym);
        const QKeyCombination key = VirtualKeyTable::qtKeyFromVirtualKey(vk);
        QCOMPARE(int(key.key()), qtKey);
        QCOMPARE(key.keyboardModifiers().testFlag(Qt::KeypadModifier), keypad);
        QCOMPARE(VirtualKeyTable::virtualKeyFromQt(qtKey, keypad ? Qt::KeypadModifier : Qt::NoModifier), vk);
        QCOMPARE(VirtualKeyTable::keysymFromVirtualKey(vk), keysym);
    }

    // Every row maps back to its own code: no two rows share a Qt key.
    void everyRowIsUnique() {
        for (const VirtualKeyTable::Row& row : VirtualKeyTable::rows())
            QCOMPARE(VirtualKeyTable::virtualKeyFromQt(row.key, row.keypad ? Qt::KeypadModifier : Qt::NoModifier),
                     row.vk);
    }

    void shiftedSymbols_data() {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("vk");
        QTest::newRow("!") << int(Qt::Key_Exclam) << 0x31;
        QTest::newRow(":") << int(Qt::Key_Colon) << 0xBA;
        QTest::newRow("?") << int(Qt::Key_Question) << 0xBF;
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << 0x0D;
        QTest::newRow("unknown") << int(Qt::Key_VolumeUp) << 0;
    }
    void shiftedSymbols() {
        QFETCH(int, qtKey);
        QFETCH(int, vk);
        QCOMPARE(VirtualKeyTable::virtualKeyFromQt(qtKey), vk);
    }

    void modifierForms_data() {
        QTest::addColumn<int>("hotKey");
        QTest::addColumn<int>("registration");
        QTest::addColumn<int>("qtModifiers");
        QTest::newRow("Alt (default)") << 4 << 1 << int(Qt::AltModifier);
        QTest::newRow("Shift") << 1 << 4 << int(Qt::ShiftModifier);
        QTest::newRow("Ctrl") << 2 << 2 << int(Qt::ControlModifier);
        QTest::newRow("Ctrl+Shift") << 3 << 6 << int(Qt::ControlModifier | Qt::ShiftModifier);
        QTest::newRow("all three") << 7 << 7 << int(Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
        QTest::newRow("extended") << 12 << 9 << int(Qt::AltModifier);
    }
    void modifierForms() {
        QFETCH(int, hotKey);
        QFETCH(int, registration);
        QFETCH(int, qtModifiers);
        QCOMPARE(VirtualKeyTable::registrationFromHotKeyFlags(hotKey), registration);
        QCOMPARE(VirtualKeyTable::hotKeyFlagsFromRegistration(registration), hotKey);
        QCOMPARE(int(VirtualKeyTable::modifiersFromHotKeyFlags(hotKey)), qtModifiers);
        QCOMPARE(VirtualKeyTable::hotKeyFlagsFromModifiers(Qt::KeyboardModifiers(qtModifiers)), hotKey & 7);
    }

    // Without an X11 session (this test runs offscreen) the hot key is refused with a
    // reason and one failure signal per attempt.
    void hotKeyWithoutX11FailsOnce() {
        GlobalHotKey key;
        QSignalSpy failed(&key, &GlobalHotKey::registrationFailed);
        QString reason;
        QVERIFY(!key.registerKey(112, VirtualKeyTable::kHotKeyAlt, &reason));
        QVERIFY(reason.contains("offscreen"));
        QCOMPARE(failed.count(), 1);
        QVERIFY(!key.isRegistered());
    }

    void defaultSequenceIsAltF1() {
        QCOMPARE(VirtualKeyTable::sequence(112, 4), QKeySequence(Qt::ALT | Qt::Key_F1));
        QVERIFY(VirtualKeyTable::sequence(0xFF, 4).isEmpty());
    }
};

QTEST_MAIN(VirtualKeyTableTest)
#include "VirtualKeyTableTest.moc"
