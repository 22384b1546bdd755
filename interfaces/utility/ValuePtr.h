#pragma once
// nc::ValuePtr<T>: an owning pointer with value semantics. Copying a ValuePtr copies the object
// it owns (a deep copy), so a class that owns an optional object through one can default its
// copy operations. An empty ValuePtr copies as empty.
//
// How to copy and destroy the object is captured when the object is handed over, where its type
// is complete; copying, moving and destroying a ValuePtr afterwards need only a declaration of T.
// That lets a class hold a ValuePtr to a type that its header merely declares. The copy is made
// of the type that was handed over, so an object of a class derived from T is copied as such.

#include <cstddef>
#include <memory>
#include <type_traits>
#include <utility>

namespace nc {

template <typename T>
class ValuePtr {
public:
    ValuePtr() noexcept = default;
    ValuePtr(std::nullptr_t) noexcept {}
    // Takes ownership of the object (if any). U must be T or derived from T, and complete here.
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    explicit ValuePtr(std::unique_ptr<U> object) noexcept
        : mObject(object.get()), mOps(object ? &OpsFor<U>() : nullptr) {
        object.release();
    }

    // A deep copy of the other's object, or empty when the other is empty.
    ValuePtr(const ValuePtr& other)
        : mObject(other.mObject ? other.mOps->copy(*other.mObject) : nullptr), mOps(other.mOps) {}
    ValuePtr(ValuePtr&& other) noexcept : mObject(std::exchange(other.mObject, nullptr)), mOps(other.mOps) {}
    // Copies first, then destroys the old object: assigning from itself, or from a ValuePtr that
    // the old object owns, is safe, and a failed copy leaves this one as it was.
    ValuePtr& operator=(const ValuePtr& other) {
        ValuePtr copy(other);
        swap(copy);
        return *this;
    }
    ValuePtr& operator=(ValuePtr&& other) noexcept {
        ValuePtr taken(std::move(other));
        swap(taken);
        return *this;
    }
    ~ValuePtr() {
        if (mObject) mOps->destroy(mObject);
    }

    // Replaces the object (destroying the old one) by the given one, or by none.
    template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    void reset(std::unique_ptr<U> object) noexcept {
        ValuePtr taken(std::move(object));
        swap(taken);
    }
    void reset() noexcept {
        ValuePtr none;
        swap(none);
    }

    void swap(ValuePtr& other) noexcept {
        std::swap(mObject, other.mObject);
        std::swap(mOps, other.mOps);
    }

    // The owned object; null when empty. It stays owned by this ValuePtr.
    T* get() const noexcept { return mObject; }
    T& operator*() const { return *mObject; }
    T* operator->() const noexcept { return mObject; }
    explicit operator bool() const noexcept { return mObject != nullptr; }

private:
    struct Ops {
        T* (*copy)(const T&);
        void (*destroy)(T*) noexcept;
    };

    template <typename U>
    static const Ops& OpsFor() noexcept {
        static const Ops ops{[](const T& object) -> T* { return new U(static_cast<const U&>(object)); },
                             [](T* object) noexcept { delete static_cast<U*>(object); }};
        return ops;
    }

    T* mObject = nullptr;
    const Ops* mOps = nullptr;
};

}  // namespace nc
