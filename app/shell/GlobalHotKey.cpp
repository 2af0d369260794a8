#include "shell/GlobalHotKey.h"

#include <cstdlib>
#include <memory>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#include "shell/VirtualKeyTable.h"

namespace {

constexpr uint32_t kNumLockKeysym = 0xff7f;

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
    const xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem > 0 ? it.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

// Every keycode whose first keysyms include `keysym` (the first one found).
uint8_t keycodeOf(xcb_connection_t* c, uint32_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const uint8_t first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> reply(
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, uint8_t(count)), nullptr), &std::free);
    if (!reply)
        return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int per = reply->keysyms_per_keycode;
    for (int k = 0; k < count; ++k)
        for (int j = 0; j < per && j < 2; ++j)
            if (syms[k * per + j] == keysym)
                return uint8_t(first + k);
    return 0;
}

// The modifier mask that Num Lock sets (Mod2 on most layouts).
uint16_t numLockMask(xcb_connection_t* c) {
    const uint8_t numLock = keycodeOf(c, kNumLockKeysym);
    std::unique_ptr<xcb_get_modifier_mapping_reply_t, decltype(&std::free)> reply(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr), &std::free);
    if (numLock && reply) {
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply.get());
        const int per = reply->keycodes_per_modifier;
        for (int mod = 0; mod < 8; ++mod)
            for (int j = 0; j < per; ++j)
                if (codes[mod * per + j] == numLock)
                    return uint16_t(1u << mod);
    }
    return XCB_MOD_MASK_2;
}

uint16_t xModifiers(int hotKeyFlags) {
    uint16_t m = 0;
    if (hotKeyFlags & VirtualKeyTable::kHotKeyShift)
        m |= XCB_MOD_MASK_SHIFT;
    if (hotKeyFlags & VirtualKeyTable::kHotKeyCtrl)
        m |= XCB_MOD_MASK_CONTROL;
    if (hotKeyFlags & VirtualKeyTable::kHotKeyAlt)
        m |= XCB_MOD_MASK_1;
    return m;
}

// Releases the four lock variants and waits until the server has done so: the server
// serves each client's requests in its own order, so without the wait another program
// asking for the key right after us could still find it held.
void ungrabVariants(xcb_connection_t* c, uint8_t keycode, xcb_window_t root, uint16_t mods,
                    const uint16_t (&variants)[4]) {
    xcb_void_cookie_t last{};
    for (const uint16_t variant : variants)
        last = xcb_ungrab_key_checked(c, keycode, root, uint16_t(mods | variant));
    std::free(xcb_request_check(c, last));
}

}  // namespace

GlobalHotKey::GlobalHotKey(QObject* parent) : QObject(parent) {}

GlobalHotKey::~GlobalHotKey() {
    unregisterKey();
    if (m_filterInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool GlobalHotKey::fail(const QString& text, QString* reason) {
    if (reason)
        *reason = text;
    emit registrationFailed(text);
    return false;
}

bool GlobalHotKey::registerKey(int virtualKey, int hotKeyFlags, QString* reason) {
    unregisterKey();
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb"))
        return fail(QStringLiteral("global hot keys need an X11 session (this one is \"%1\")")
                        .arg(qGuiApp ? QGuiApplication::platformName() : QStringLiteral("none")),
                    reason);
    xcb_connection_t* c = x11Connection();
    if (!c || xcb_connection_has_error(c))
        return fail(QStringLiteral("no connection to the X server"), reason);
    const uint32_t keysym = VirtualKeyTable::keysymFromVirtualKey(virtualKey & 0xFFFF);
    const uint8_t keycode = keysym ? keycodeOf(c, keysym) : 0;
    if (!keycode)
        return fail(QStringLiteral("the key %1 has no key on this keyboard").arg(virtualKey), reason);

    const xcb_window_t root = rootWindow(c);
    const uint16_t mods = xModifiers(hotKeyFlags);
    const uint16_t numLock = numLockMask(c);
    const uint16_t variants[4] = {0, XCB_MOD_MASK_LOCK, numLock, uint16_t(XCB_MOD_MASK_LOCK | numLock)};
    xcb_void_cookie_t cookies[4];
    for (int i = 0; i < 4; ++i)
        cookies[i] = xcb_grab_key_checked(c, 1, root, uint16_t(mods | variants[i]), keycode, XCB_GRAB_MODE_ASYNC,
                                          XCB_GRAB_MODE_ASYNC);
    bool taken = false;
    for (const xcb_void_cookie_t& cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
            taken = true;
            std::free(error);
        }
    }
    if (taken) {
        // Release the variants that did succeed: a half-held key would work only in some
        // lock states.
        ungrabVariants(c, keycode, root, mods, variants);
        return fail(QStringLiteral("another program holds the key"), reason);
    }
    m_keycode = keycode;
    m_modifiers = mods;
    for (int i = 0; i < 4; ++i)
        m_lockMasks[i] = variants[i];
    if (!m_filterInstalled) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
    return true;
}

void GlobalHotKey::unregisterKey() {
    if (!m_keycode)
        return;
    if (xcb_connection_t* c = x11Connection()) {
        ungrabVariants(c, m_keycode, rootWindow(c), m_modifiers, m_lockMasks);
    }
    m_keycode = 0;
}

bool GlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* /*result*/) {
    if (!m_keycode || eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    const uint16_t lockBits = m_lockMasks[3];
    const uint16_t relevant = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
    if (press->detail != m_keycode || (press->state & relevant & ~lockBits) != m_modifiers)
        return false;
    emit activated();
    return true;
}
