#pragma once
// Root of the class hierarchy. Everything that lists, streams or the object
// model hold by base pointer (string-list objects, owned lists, components)
// derives from TObject.

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};
