#pragma once
// Base of this library's objects that are handed to a handler: an atomic reference count
// (the handler may hold references from its own threads) and QueryInterface over the listed
// interfaces. The object starts with no reference; the first holder calls AddRef. Derived
// classes must be final, so that Release deletes the complete object.
#include <atomic>

#include "archive/HandlerInterfaces.h"

namespace crateview {

template <class Derived, class... Interfaces>
class ComObject : public Interfaces... {
public:
    HRESULT QueryInterface(const GUID& riid, void** out) noexcept override {
        if (!out)
            return E_INVALIDARG;
        *out = nullptr;
        if (riid == IID_IUnknown) {
            *out = static_cast<IUnknown*>(static_cast<FirstInterface*>(this));
        } else {
            ((riid == Interfaces::iid && !*out ? (void)(*out = static_cast<Interfaces*>(this)) : (void)0), ...);
            if (!*out)
                findBase(riid, out);
        }
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    uint32_t AddRef() noexcept override { return ++m_refs; }
    uint32_t Release() noexcept override {
        const uint32_t left = --m_refs;
        if (left == 0)
            delete static_cast<Derived*>(this);
        return left;
    }

protected:
    ComObject() = default;
    ~ComObject() = default;
    // Base interfaces reachable through a listed one (IInStream brings ISequentialInStream).
    virtual void findBase(const GUID&, void**) noexcept {}

private:
    template <class First, class...>
    struct FirstOf { using type = First; };
    using FirstInterface = typename FirstOf<Interfaces...>::type;
    std::atomic<uint32_t> m_refs{0};
};

// Holds one reference to a handler object; releases it when dropped.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(T* p) : m_p(p) {   // adds a reference
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.m_p) {}
    ComPtr(ComPtr&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(m_p, o.m_p);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }
    // For out-parameters that hand over a reference already counted for us.
    T** receive() {
        reset();
        return &m_p;
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

}  // namespace crateview
