#pragma once
// The global show/hide hot key: an X11 key grab on the root window.
//
// registerKey() grabs the key of a stored virtual-key code with the stored modifiers
// (hot-key-control form, VirtualKeyTable), in four variants: alone, with Caps Lock, with
// Num Lock and with both, so the key works whatever the lock state. When another client
// holds any variant (the X server answers BadAccess) nothing stays grabbed. A press of the
// key emits activated() through a native event filter on the application.
//
// Where the grab cannot be had (another owner, Wayland, offscreen, no X server, a key the
// table does not know) registerKey() returns false with a reason and emits
// registrationFailed() once for that call; the caller shows one warning and the program
// runs on without the key. User-interface thread; needs a QGuiApplication.
#include <cstdint>
#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QString>
#include <vector>

class GlobalHotKey : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit GlobalHotKey(QObject* parent = nullptr);
    ~GlobalHotKey() override;

    // Replaces any key held so far. True when the key is grabbed.
    bool registerKey(int virtualKey, int hotKeyFlags, QString* reason = nullptr);
    // Releases the key (nothing when none is held).
    void unregisterKey();
    bool isRegistered() const { return m_keycode != 0; }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

signals:
    void activated();
    void registrationFailed(const QString& reason);

private:
    bool fail(const QString& text, QString* reason);

    uint8_t m_keycode = 0;
    uint16_t m_modifiers = 0;
    uint16_t m_lockMasks[4] = {};
    bool m_filterInstalled = false;
};
