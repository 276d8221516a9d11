#pragma once

#include <glib-object.h>

#include <utility>

namespace kovi {

// One strong reference to a GObject of a C-only type (WebKit, libsoup). Move-only; the
// factories make the reference policy visible where the pointer is taken.
template <class T>
class GObjectPtr {
public:
    GObjectPtr() = default;
    ~GObjectPtr() { clear(); }

    // Takes over a reference the caller owns (a new object, a "transfer full" return).
    static GObjectPtr adopt(T* object)
    {
        GObjectPtr p;
        p.m_object = object;
        return p;
    }
    // Adds a reference of our own; a floating reference is sunk.
    static GObjectPtr ref(T* object)
    {
        GObjectPtr p;
        if (object)
            p.m_object = static_cast<T*>(g_object_ref_sink(object));
        return p;
    }

    GObjectPtr(const GObjectPtr&) = delete;
    GObjectPtr& operator=(const GObjectPtr&) = delete;
    GObjectPtr(GObjectPtr&& other) noexcept : m_object(std::exchange(other.m_object, nullptr)) {}
    GObjectPtr& operator=(GObjectPtr&& other) noexcept
    {
        if (this != &other) {
            clear();
            m_object = std::exchange(other.m_object, nullptr);
        }
        return *this;
    }

    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    void clear()
    {
        if (T* object = std::exchange(m_object, nullptr))
            g_object_unref(object);
    }

private:
    T* m_object = nullptr;
};

} // namespace kovi
