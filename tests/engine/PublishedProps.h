#pragma once
// Walks the published properties of option objects, into sub-objects, by
// dotted paths such as "VideoOptions.FrameRate.num".

#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/rtl/Properties.h"

// The object holding the last name of Path, and that name.
std::pair<TObject*, String> ResolvePath(TObject* root, const String& path);
const TPropInfo* PropAt(TObject* root, const String& path);
// A property value as text: string lists as their Text, others as GetPropValue's text.
String PropText(TObject* root, const String& path);
// Gives every published property of a simple kind, into sub-objects and string
// lists, a value no fresh object holds; integer properties named in Fixed take
// the value given there instead.
void FillDistinct(TObject* root, std::initializer_list<std::pair<const char*, int>> fixed);
// Paths of every published property of a simple kind and of every string list.
std::vector<String> LeafPaths(TObject* root);

struct PropDecl {
    const char* name;
    TTypeKind kind;
    int32_t def;
};
// The class's published properties are these, in this order, always stored, readable.
void ExpectDeclarations(TClass cls, std::initializer_list<PropDecl> expected);
