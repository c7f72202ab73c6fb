#include "platform/rtl/ClassInfo.h"

#include <algorithm>
#include <mutex>

TClassInfo::TClassInfo(const char* name, const std::type_info& typeId, TClass parent)
    : parent_(parent), typeId_(&typeId) {
    const std::string_view full(name);
    const auto colon = full.rfind("::");
    name_ = String(colon == std::string_view::npos ? full : full.substr(colon + 2));
    type_.Kind = tkClass;
    type_.Name = name_;
    type_.ClassType = this;
}

void TClassInfo::Finish() {
    if (parent_) all_ = parent_->all_;
    all_.reserve(all_.size() + own_.size()); // keeps `inherited` valid
    const auto inherited = all_.begin() + static_cast<std::ptrdiff_t>(all_.size());
    for (TPropInfo& prop : own_) {
        RTL_ASSERT(!prop.indexed_ || prop.HasIndex(), "Property accessors take an index but none is declared");
        const auto it = std::find_if(all_.begin(), inherited, [&](const TPropInfo* p) { return SameText(p->Name(), prop.Name()); });
        if (it != inherited) {
            prop.nameIndex_ = static_cast<int>(it - all_.begin());
            *it = &prop;
        } else {
            prop.nameIndex_ = static_cast<int>(all_.size());
            all_.push_back(&prop);
        }
    }
}

bool TClassInfo::InheritsFrom(TClass cls) const noexcept {
    for (TClass c = this; c; c = c->parent_)
        if (c == cls) return true;
    return false;
}

const TPropInfo* TClassInfo::FindProperty(const String& name) const {
    for (const TPropInfo* p : all_)
        if (SameText(p->Name(), name)) return p;
    return nullptr;
}

void TClassInfo::CannotCreate() const { throw EInvalidOperation("Cannot create an instance of " + name_); }

std::unique_ptr<TObject> TClassInfo::Create() const {
    if (!newObject_) CannotCreate();
    return std::unique_ptr<TObject>(newObject_());
}

TComponent* TClassInfo::CreateComponent(TComponent* owner) const {
    if (!newComponent_) CannotCreate();
    return newComponent_(owner);
}

TCollectionItem* TClassInfo::CreateItem(TCollection* collection) const {
    if (!newItem_) CannotCreate();
    return newItem_(collection);
}

namespace {
struct TClassRegistry {
    std::mutex lock;
    std::vector<TClass> classes;

    TClass Find(const String& name) const {
        for (TClass c : classes)
            if (SameText(c->ClassName(), name)) return c;
        return nullptr;
    }
};

TClassRegistry& Registry() {
    static TClassRegistry registry;
    return registry;
}
} // namespace

void RegisterClass(TClass cls) {
    auto& registry = Registry();
    std::lock_guard guard(registry.lock);
    if (TClass existing = registry.Find(cls->ClassName())) {
        if (existing == cls) return;
        throw EFilerError("A class named " + cls->ClassName() + " already exists");
    }
    registry.classes.push_back(cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
    for (TClass cls : classes) RegisterClass(cls);
}

void UnRegisterClass(TClass cls) {
    auto& registry = Registry();
    std::lock_guard guard(registry.lock);
    std::erase(registry.classes, cls);
}

TClass GetClass(const String& name) {
    auto& registry = Registry();
    std::lock_guard guard(registry.lock);
    return registry.Find(name);
}

TClass FindClass(const String& name) {
    if (TClass cls = GetClass(name)) return cls;
    throw EClassNotFound("Class " + name + " not found");
}

TClass TObject::StaticClass() {
    static const TClassInfo info(std::type_identity<TObject>(), "TObject");
    return &info;
}

String TObject::ClassName() const {
    TClass cls = ClassType();
    if (cls->TypeId() == typeid(*this)) return cls->ClassName();
    return rtl_detail::ShortTypeName(typeid(*this));
}

bool TObject::InheritsFrom(TClass cls) const noexcept { return ClassType()->InheritsFrom(cls); }

bool TObject::GetInterface(const TGUID&, void** obj) {
    *obj = nullptr;
    return false;
}

namespace rtl_detail {
const TTypeInfo* ClassTypeInfo(TClass cls) { return cls->Type(); }

void InvalidPropertyValue() { throw EPropertyError("Invalid property value"); }

int32_t SetDefaultMask(const TSetBits& bits) {
    RTL_ASSERT(bits.Words[0] >> 31 == 0 && bits.Words[1] == 0 && bits.Words[2] == 0 && bits.Words[3] == 0,
               "Set default beyond element 30");
    return static_cast<int32_t>(bits.Words[0]);
}
} // namespace rtl_detail
