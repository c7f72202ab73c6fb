#pragma once
// Interfaces: abstract classes identified by a TGUID, reference counted and
// reached from one another through QueryInterface.
//
// An interface derives virtually from IInterface (or from its parent interface)
// and names its identifier; an interface derived from another names it too:
//   class IShape : public virtual IInterface {
//   public:
//       static constexpr TGUID IID = TGUID::Parse("{5C7D2E1A-8F43-4B6C-9A0E-1D2F3A4B5C6D}");
//       virtual double Area() = 0;
//   };
//   class ISquare : public IShape {
//   public:
//       static constexpr TGUID IID = TGUID::Parse("{...}");
//       using Inherited = IShape;
//       virtual double Side() = 0;
//   };
// A class implements interfaces by listing them after its base class, and is
// created with MakeIntf, which hands over the one reference it is born with:
//   class TSquare : public TImplements<TInterfacedObject, ISquare> { ... };
//   TIntfPtr<IShape> shape = MakeIntf<TSquare>(2.0);
//   TIntfPtr<ISquare> square;
//   if (Supports(shape, square)) ...

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Guid.h"
#include "platform/rtl/TObject.h"

using HRESULT = int32_t;
inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
inline constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr bool Succeeded(HRESULT hr) noexcept { return hr >= 0; }
constexpr bool Failed(HRESULT hr) noexcept { return hr < 0; }

RTL_DECLARE_EXCEPTION(EIntfCastError, Exception);

class IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{00000000-0000-0000-C000-000000000046}");
    // Stores the counted interface in *obj and returns S_OK, or stores null
    // and returns E_NOINTERFACE.
    virtual HRESULT QueryInterface(const TGUID& iid, void** obj) = 0;
    virtual int32_t _AddRef() = 0;
    virtual int32_t _Release() = 0;

protected:
    IInterface() = default;
    IInterface(const IInterface&) = default;
    IInterface& operator=(const IInterface&) = default;
    ~IInterface() = default;
};

// Counted reference to an interface (or to a class implementing IInterface).
// Taking a raw pointer adds a reference, like an assignment; Adopt takes over
// one the caller already holds.
template <class T>
class TIntfPtr {
public:
    TIntfPtr() noexcept = default;
    TIntfPtr(std::nullptr_t) noexcept {}
    TIntfPtr(T* p) noexcept : p_(p) {
        if (p_) p_->_AddRef();
    }
    TIntfPtr(const TIntfPtr& other) noexcept : TIntfPtr(other.p_) {}
    TIntfPtr(TIntfPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    template <class U>
        requires std::is_convertible_v<U*, T*>
    TIntfPtr(const TIntfPtr<U>& other) noexcept : TIntfPtr(other.get()) {}
    template <class U>
        requires std::is_convertible_v<U*, T*>
    TIntfPtr(TIntfPtr<U>&& other) noexcept : p_(other.Detach()) {}
    ~TIntfPtr() {
        if (p_) p_->_Release();
    }
    // The old reference is dropped after the new one is taken.
    TIntfPtr& operator=(TIntfPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }

    static TIntfPtr Adopt(T* p) noexcept {
        TIntfPtr result;
        result.p_ = p;
        return result;
    }
    // Gives up the reference without dropping it.
    T* Detach() noexcept { return std::exchange(p_, nullptr); }
    void Reset() noexcept { TIntfPtr().swap(*this); }
    void swap(TIntfPtr& other) noexcept { std::swap(p_, other.p_); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    friend bool operator==(const TIntfPtr& a, const TIntfPtr& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const TIntfPtr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

// Counts references atomically from one: a constructor may hand `this` to
// others without being freed when they let go. MakeIntf then takes that first
// reference over, so the object is freed when the last TIntfPtr drops it.
class TInterfacedObject : public TObject, public virtual IInterface {
public:
    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override;
    int32_t _Release() override;
    bool GetInterface(const TGUID& iid, void** obj) override;
    int32_t RefCount() const noexcept { return refCount_.load(std::memory_order_relaxed); }

protected:
    TInterfacedObject() = default;
    // Creation goes through MakeIntf.
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* p) noexcept { ::operator delete(p); }

private:
    template <class T, class... Args>
    friend TIntfPtr<T> MakeIntf(Args&&... args);

    std::atomic<int32_t> refCount_{1};
};

template <class T, class... Args>
TIntfPtr<T> MakeIntf(Args&&... args) {
    return TIntfPtr<T>::Adopt(new T(std::forward<Args>(args)...));
}

// A part of another object, its controller: counts and interface lookups are
// the controller's, so the part lives as long as the controller that owns it.
class TAggregatedObject : public TObject, public virtual IInterface {
public:
    explicit TAggregatedObject(IInterface* controller) noexcept : controller_(controller) {}
    IInterface* Controller() const noexcept { return controller_; }
    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    int32_t _AddRef() override { return controller_->_AddRef(); }
    int32_t _Release() override { return controller_->_Release(); }

private:
    IInterface* controller_;
};

// A part that answers only its own interfaces; counts stay the controller's.
class TContainedObject : public TAggregatedObject {
public:
    using TAggregatedObject::TAggregatedObject;
    HRESULT QueryInterface(const TGUID& iid, void** obj) override;
    bool GetInterface(const TGUID& iid, void** obj) override;
};

// Base followed by the interfaces the class answers (with their Inherited
// ancestors); lookups not answered here go to Base.
namespace rtl_detail {
template <class... T>
struct TTypeList {};
} // namespace rtl_detail

template <class Base, class... Interfaces>
class TImplements : public Base, public Interfaces... {
public:
    using Base::Base;
    // What class descriptions read to list a class's own interfaces.
    using RtlImplementation = TImplements;
    using RtlImplementedBase = Base;
    using RtlImplementedInterfaces = rtl_detail::TTypeList<Interfaces...>;

    bool GetInterface(const TGUID& iid, void** obj) override {
        return (Answer<Interfaces, Interfaces>(iid, obj) || ...) || Base::GetInterface(iid, obj);
    }

private:
    // Listed is the interface this class derives from; I is it or an ancestor.
    template <class Listed, class I>
    bool Answer(const TGUID& iid, void** obj) {
        if (iid == I::IID) {
            I* p = static_cast<Listed*>(this);
            p->_AddRef();
            *obj = p;
            return true;
        }
        if constexpr (requires { typename I::Inherited; })
            return Answer<Listed, typename I::Inherited>(iid, obj);
        return false;
    }
};

namespace rtl_detail {
template <class S>
S* RawOf(S* p) noexcept {
    return p;
}
template <class S>
S* RawOf(const TIntfPtr<S>& p) noexcept {
    return p.get();
}

template <class S>
bool Query(S* instance, const TGUID& iid, void** obj) {
    *obj = nullptr;
    if (!instance) return false;
    if constexpr (std::is_base_of_v<IInterface, S>)
        return static_cast<IInterface*>(instance)->QueryInterface(iid, obj) == S_OK && *obj;
    else
        return static_cast<TObject*>(instance)->GetInterface(iid, obj);
}
} // namespace rtl_detail

// Whether an interface or object (raw or counted, may be null) answers iid.
template <class Source>
bool Supports(const Source& instance, const TGUID& iid) {
    auto* raw = rtl_detail::RawOf(instance);
    void* obj;
    if (!rtl_detail::Query(raw, iid, &obj)) return false;
    // The answer's type is unknown here; its count is that of the object.
    using S = std::remove_pointer_t<decltype(raw)>;
    if constexpr (std::is_base_of_v<IInterface, S>)
        static_cast<IInterface*>(raw)->_Release();
    else
        dynamic_cast<IInterface&>(static_cast<TObject&>(*raw))._Release();
    return true;
}

template <class Source, class I>
bool Supports(const Source& instance, TIntfPtr<I>& out) {
    void* obj;
    const bool found = rtl_detail::Query(rtl_detail::RawOf(instance), I::IID, &obj);
    out = TIntfPtr<I>::Adopt(found ? static_cast<I*>(obj) : nullptr);
    return found;
}

// Like Supports, but a missing interface raises EIntfCastError.
template <class I, class Source>
TIntfPtr<I> IntfCast(const Source& instance) {
    TIntfPtr<I> result;
    if (!Supports(instance, result)) throw EIntfCastError("Interface not supported");
    return result;
}
