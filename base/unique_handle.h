// The one owner of a handle the system gives out: a kernel object, a search, a C stream, a
// block from LocalAlloc, an internet or socket handle, a GDI object, a COM reference, a BSTR.
// It gives the handle back when it goes away or takes another one, hands it on when moved, and
// never copies. Its traits say what the handle is and how it goes back:
//
//   struct Traits {
//       using Handle = ...;
//       static Handle null();       // the value that owns nothing
//       void close(Handle) const;   // may be static; called only for a value that is not null
//   };
//
// Traits may carry state (the transport an internet handle belongs to); empty traits take no
// room.
#pragma once

#include <utility>

template <class Traits>
class UniqueHandle : private Traits {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept : handle_(Traits::null()) {}
    // Takes over what the caller owns.
    explicit UniqueHandle(Handle owned, Traits traits = Traits()) noexcept
        : Traits(std::move(traits)), handle_(owned) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept
        : Traits(other.traits()), handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
            static_cast<Traits&>(*this) = other.traits();
        }
        return *this;
    }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Traits::null(); }
    const Traits& traits() const noexcept { return *this; }

    // Gives back what is held (if anything) and takes over `owned`.
    void reset(Handle owned = Traits::null()) noexcept {
        const Handle old = std::exchange(handle_, owned);
        if (old != Traits::null()) {
            traits().close(old);
        }
    }
    // Hands what is held to the caller, who must give it back.
    Handle release() noexcept { return std::exchange(handle_, Traits::null()); }
    // For out-parameters: gives back what is held and returns the slot to fill.
    Handle* put() noexcept {
        reset();
        return &handle_;
    }
    void swap(UniqueHandle& other) noexcept {
        std::swap(handle_, other.handle_);
        std::swap(static_cast<Traits&>(*this), static_cast<Traits&>(other));
    }

  private:
    Handle handle_;
};

// The traits of a handle that is a pointer and null when empty; a derived struct adds close.
template <class Pointer>
struct NullWhenEmpty {
    using Handle = Pointer;
    static constexpr Handle null() noexcept { return nullptr; }
};
