#include "PublishedProps.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/StringList.h"

namespace {

void Walk(TObject* obj, const String& prefix, const std::function<void(const String&, TObject*, const TPropInfo*)>& visit) {
    for (const TPropInfo* prop : GetPropList(obj, tkProperties)) {
        const String path = prefix.empty() ? prop->Name() : prefix + u'.' + prop->Name();
        if (prop->Kind() == tkClass) {
            TObject* child = GetObjectProp(obj, prop);
            if (!dynamic_cast<TStrings*>(child)) {
                Walk(child, path, visit);
                continue;
            }
        }
        visit(path, obj, prop);
    }
}

} // namespace

std::pair<TObject*, String> ResolvePath(TObject* root, const String& path) {
    TObject* obj = root;
    String rest = path;
    for (int dot = Pos(u".", rest); dot > 0; dot = Pos(u".", rest)) {
        obj = GetObjectProp(obj, Copy(rest, 1, dot - 1));
        rest = Copy(rest, dot + 1);
    }
    return {obj, rest};
}

const TPropInfo* PropAt(TObject* root, const String& path) {
    auto [obj, name] = ResolvePath(root, path);
    return GetPropInfo(obj, name);
}

String PropText(TObject* root, const String& path) {
    auto [obj, name] = ResolvePath(root, path);
    if (GetPropInfo(obj, name)->Kind() == tkClass) return static_cast<TStrings*>(GetObjectProp(obj, name))->Text();
    return GetPropValue(obj, name).AsString();
}

void FillDistinct(TObject* root, std::initializer_list<std::pair<const char*, int>> fixed) {
    int n = 100;
    Walk(root, String(), [&](const String& path, TObject* obj, const TPropInfo* prop) {
        ++n;
        for (const auto& [name, value] : fixed)
            if (path == name) return SetOrdProp(obj, prop, value);
        switch (prop->Kind()) {
        case tkInteger: SetOrdProp(obj, prop, n); break;
        case tkInt64: SetInt64Prop(obj, prop, int64_t(n) << 33); break;
        case tkEnumeration: SetOrdProp(obj, prop, prop->PropType()->MaxValue); break;
        case tkFloat: SetFloatProp(obj, prop, n + 0.5); break;
        case tkUString:
        case tkLString: SetStrProp(obj, prop, "v" + IntToStr(n)); break;
        case tkClass: static_cast<TStrings*>(GetObjectProp(obj, prop))->Add("k" + IntToStr(n) + "=" + IntToStr(n)); break;
        default: throw Exception("unexpected kind of " + path);
        }
    });
}

std::vector<String> LeafPaths(TObject* root) {
    std::vector<String> paths;
    Walk(root, String(), [&](const String& path, TObject*, const TPropInfo*) { paths.push_back(path); });
    return paths;
}

void ExpectDeclarations(TClass cls, std::initializer_list<PropDecl> expected) {
    const auto props = cls->Properties();
    ASSERT_EQ(props.size(), expected.size()) << cls->ClassName().ToUtf8();
    size_t i = 0;
    for (const PropDecl& decl : expected) {
        const TPropInfo* prop = props[i++];
        EXPECT_EQ(prop->Name(), String(decl.name)) << cls->ClassName().ToUtf8() << " #" << i;
        EXPECT_EQ(prop->Kind(), decl.kind) << decl.name;
        EXPECT_EQ(prop->Default(), decl.def) << decl.name;
        EXPECT_TRUE(prop->HasReader()) << decl.name;
        EXPECT_TRUE(prop->IsStoredConstant() && prop->IsStored(*cls->Create())) << decl.name;
    }
}
