#pragma once

#include <array>
#include <cstdint>
#include <memory>

// Root of the framework's shared objects: a reference count (1 after construction) and a name of
// at most 31 characters. A shared object lives on the heap; the owner that drops the last
// reference destroys it through Release.
class CEfObject {
public:
    static constexpr size_t kNameSize = 32;

    CEfObject() = default;
    virtual ~CEfObject() = default;
    CEfObject(const CEfObject&) = delete;
    CEfObject& operator=(const CEfObject&) = delete;

    int32_t RefCount() const { return refCount_; }
    void AddRef() { ++refCount_; }
    // Drops one reference and deletes the object when it was the last; returns the count left.
    int32_t Release();

    const char* GetName() const { return name_.data(); }
    // Keeps at most 31 characters; null clears the name.
    void SetName(const char* name);

private:
    int32_t refCount_ = 1;
    std::array<char, kNameSize> name_{};
};

// Releases a shared object instead of deleting it, for owners that hold one in a unique_ptr.
struct CEfObjectRelease {
    void operator()(CEfObject* object) const {
        if (object) {
            object->Release();
        }
    }
};

template <class T> using CEfObjectPtr = std::unique_ptr<T, CEfObjectRelease>;
