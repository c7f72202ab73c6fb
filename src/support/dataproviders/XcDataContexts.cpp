#include "support/dataproviders/XcDataContexts.h"

#include "support/dataproviders/XcDataProviderTexts.h"

RTL_PUBLISHED_NONE(TXcBaseDataContexts);
RTL_PUBLISHED_NONE(TXcDataContexts);
RTL_PUBLISHED_NONE(TXcBaseDataContext);
RTL_PUBLISHED_NONE(TXcDataContext);
RTL_PUBLISHED_NONE(TXcManagedDataContext);
RTL_PUBLISHED_NONE(TXcFixedDataContext);

TXcBaseDataContexts::TXcBaseDataContexts(IXcDataProvider* provider, TClass extensionClass, IXcDataContext* ancestor)
    : provider_(provider), ancestor_(ancestor), extensionClass_(extensionClass) {}

void TXcBaseDataContexts::AfterConstruction() {
    if (extensionClass_) CreateXcExtension(extensionClass_, this);
    TExtensibleInterfacedPersistent::AfterConstruction();
}

TIntfPtr<IXcDataContext> TXcBaseDataContexts::ContextByName(const String& path) {
    const size_t separator = path.find_first_of(u"\\/");
    const String segment = path.substr(0, separator);
    const String rest = separator == String::npos ? String() : path.substr(separator + 1);
    if (segment == u"..") {
        const TIntfPtr<IXcDataContexts> list = ancestor_ ? ancestor_->Contexts() : nullptr;
        return list ? list->ContextByName(rest) : nullptr;
    }
    if (segment.empty() && ancestor_) {
        TIntfPtr<IXcDataContexts> root;
        return Supports(provider_, root) ? root->ContextByName(rest) : nullptr;
    }
    for (int i = Count(); i-- > 0;) {
        TIntfPtr<IXcDataContext> context = Context(i);
        if (!AnsiSameText(context->Name(), segment)) continue;
        if (separator == String::npos) return context;
        const TIntfPtr<IXcDataContexts> list = context->Contexts();
        return list ? list->ContextByName(rest) : nullptr;
    }
    return nullptr;
}

int TXcBaseDataContexts::IndexOf(IXcDataContext* context) {
    for (int i = Count(); i-- > 0;)
        if (Context(i).get() == context) return i;
    return -1;
}

void TXcBaseDataContexts::DoRemoveContext(IXcDataContext* context) {
    if (const int index = IndexOf(context); index >= 0) DoDeleteContext(index);
}

TXcDataContexts::~TXcDataContexts() {
    ClearExtensions();
    contexts_.clear();
}

TIntfPtr<IXcDataContext> TXcDataContexts::Context(int index) {
    if (index < 0 || index >= Count()) throw EListError(XcListIndexText(index));
    return contexts_[static_cast<size_t>(index)];
}

void TXcDataContexts::DoAddContext(IXcDataContext* context) {
    const TIntfPtr<IXcDataContext> found = ContextByName(context->Name());
    if (found.get() == context) return;
    if (found) throw EXCLDataContexts(LoadResString(RsXcContextExists));
    const TIntfPtr<IXcDataProvider> provider = Provider();
    const TIntfPtr<IXcDataContext> ancestor = Ancestor();
    if (provider) provider->BeginChange(pcrContextAdded, ancestor.get());
    contexts_.emplace_back(context);
    if (provider) provider->EndChange(pcrContextAdded, context);
}

void TXcDataContexts::DoDeleteContext(int index) {
    if (index < 0 || index >= Count()) return;
    const TIntfPtr<IXcDataContext> context = contexts_[static_cast<size_t>(index)];
    if (!context->IsDeletable()) return;
    const TIntfPtr<IXcDataContexts> holder = context->Contexts();
    const TIntfPtr<IXcDataContext> ancestor = holder ? holder->Ancestor() : nullptr;
    const TIntfPtr<IXcDataProvider> provider = Provider();
    if (provider) provider->BeginChange(pcrContextDeleted, context.get());
    // What the items keep for the context goes with it.
    if (const TIntfPtr<IXcDataItems> items = provider ? provider->RootItems() : nullptr)
        items->ContextDestroying(context.get());
    contexts_.erase(contexts_.begin() + index);
    if (provider) provider->EndChange(pcrContextDeleted, ancestor.get());
}

TXcBaseDataContext::TXcBaseDataContext(TXcBaseDataContexts* list, const String& name)
    : list_(list), initialName_(name) {
    if (!list) throw EXCLDataContexts(LoadResString(RsXcContextWithoutList));
}

void TXcBaseDataContext::AfterConstruction() {
    SetName(initialName_);
    TExtensibleInterfacedPersistent::AfterConstruction();
}

void TXcBaseDataContext::SetName(const String& value) {
    if (value == Name()) return;
    const TIntfPtr<IXcDataContext> found = list_->ContextByName(value);
    if (found && found.get() != static_cast<IXcDataContext*>(this))
        throw EXCLDataContexts(LoadResString(RsXcContextExists));
    DoSetName(value);
}
