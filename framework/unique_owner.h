// The one owner of a handle, a string or an interface reference: it gives the thing back to
// the system (Traits::Release) when it goes away or takes another one, and hands it on when
// moved. Traits name the type (Handle, null when empty) and how it is given back. Owners whose
// things can be copied (a BSTR, a COM reference) add the copy themselves.
#pragma once

#include <utility>

template <class Traits>
class UniqueOwner {
  public:
    using Handle = typename Traits::Handle;

    UniqueOwner() = default;
    // Takes over what the caller owns.
    explicit UniqueOwner(Handle owned) : m_handle(owned) {}
    ~UniqueOwner() { Release(); }

    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& other) noexcept : m_handle(other.Detach()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) {
            Attach(other.Detach());
        }
        return *this;
    }

    // Gives back what is held (if anything) and takes over `owned`.
    void Attach(Handle owned) {
        Release();
        m_handle = owned;
    }
    // Hands what is held to the caller, who must give it back.
    Handle Detach() { return std::exchange(m_handle, Handle{}); }
    // Gives back what is held, if anything; the owner is empty afterwards.
    void Release() {
        if (Handle owned = Detach()) {
            Traits::Release(owned);
        }
    }
    // For out-parameters: gives back what is held and returns the slot to fill.
    Handle* Put() {
        Release();
        return &m_handle;
    }
    void Swap(UniqueOwner& other) noexcept { std::swap(m_handle, other.m_handle); }

    Handle Get() const { return m_handle; }

  private:
    Handle m_handle{};
};
