#pragma once
// Root of the class hierarchy. Everything that lists, streams or the object
// model hold by base pointer (string-list objects, owned lists, components)
// derives from TObject.

struct TGUID;

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // Stores the object's interface with the given identifier in *obj, counted,
    // and returns true; a plain object implements none (see Interfaces.h).
    virtual bool GetInterface(const TGUID& iid, void** obj);
};
