#pragma once
// Root of the class hierarchy. Everything that lists, streams or the object
// model hold by base pointer (string-list objects, owned lists, components)
// derives from TObject.
//
// A class that is looked up by name, or that publishes properties, declares
// its class information first in its body and defines it in its .cpp file
// (see ClassInfo.h):
//   class TFoo : public TPersistent {
//       RTL_CLASS(TFoo, TPersistent);
//   public: ...
//   };
// Other classes cost nothing extra: they answer their nearest declared
// ancestor's ClassType, and their own ClassName.

#include "platform/rtl/String.h"

struct TGUID;
class TClassInfo;
using TClass = const TClassInfo*;
template <class T>
class TClassBuilder;

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static TClass StaticClass();
    virtual TClass ClassType() const { return StaticClass(); }
    String ClassName() const;
    bool InheritsFrom(TClass cls) const noexcept;

    // Stores the object's interface with the given identifier in *obj, counted,
    // and returns true; a plain object implements none (see Interfaces.h).
    virtual bool GetInterface(const TGUID& iid, void** obj);

private:
    friend class TClassInfo;
    static void DescribeClass(TClassBuilder<TObject>&) {}
};

// Leaves the class body private, as it starts.
#define RTL_CLASS(Class, Parent)                                \
public:                                                         \
    static TClass StaticClass();                                \
    TClass ClassType() const override { return StaticClass(); } \
                                                                \
private:                                                        \
    friend class ::TClassInfo;                                  \
    using RtlParentClass = Parent;                              \
    static void DescribeClass(TClassBuilder<Class>& c)
