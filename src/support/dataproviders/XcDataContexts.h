#pragma once
// Contexts: named variants of a provider's data. A context list belongs to the
// provider (its root list, without ancestor) or to a context, its ancestor;
// a context without data of its own falls back to its ancestors'. Lists and
// contexts are counted: the list holds its contexts, the provider its lists.

#include <vector>

#include "support/dataproviders/XcDataProviderIntf.h"
#include "support/dataproviders/XcExtensible.h"

class TXcBaseDataContexts : public TImplements<TExtensibleInterfacedPersistent, IXcDataContexts> {
    RTL_CLASS(TXcBaseDataContexts, TExtensibleInterfacedPersistent);

public:
    // With an extension class, an extension of it is made on the list.
    TXcBaseDataContexts(IXcDataProvider* provider, TClass extensionClass, IXcDataContext* ancestor);

    TIntfPtr<IXcDataProvider> Provider() override { return provider_; }
    TIntfPtr<IXcDataContext> Ancestor() override { return ancestor_; }
    TIntfPtr<IXcDataContext> ContextByName(const String& path) override;
    // Searched from the last entry; -1 when absent.
    int IndexOf(IXcDataContext* context) override;

    // Announced as reason 5; raises EXCLDataContexts "A context with that
    // name already exists" when another context has the name.
    virtual void DoAddContext(IXcDataContext* context) = 0;
    // Announced as reason 6; a context that is not deletable stays, silently.
    virtual void DoDeleteContext(int index) = 0;
    void DoRemoveContext(IXcDataContext* context);
    // Empties the list without announcements.
    virtual void DoClearContexts() = 0;

    void AfterConstruction() override;

private:
    TIntfPtr<IXcDataProvider> provider_;
    TIntfPtr<IXcDataContext> ancestor_;
    TClass extensionClass_;
};

class TXcDataContexts : public TXcBaseDataContexts {
    RTL_CLASS(TXcDataContexts, TXcBaseDataContexts);

public:
    using TXcBaseDataContexts::TXcBaseDataContexts;
    ~TXcDataContexts() override;

    int Count() override { return static_cast<int>(contexts_.size()); }
    // Raises EListError "List index out of bounds (%d)".
    TIntfPtr<IXcDataContext> Context(int index) override;
    void DoAddContext(IXcDataContext* context) override;
    void DoDeleteContext(int index) override;
    void DoClearContexts() override { contexts_.clear(); }

private:
    std::vector<TIntfPtr<IXcDataContext>> contexts_;
};

// A context of a list, which keeps no count of it.
class TXcBaseDataContext : public TImplements<TExtensibleInterfacedPersistent, IXcDataContext> {
    RTL_CLASS(TXcBaseDataContext, TExtensibleInterfacedPersistent);

public:
    // Raises EXCLDataContexts "Cannot create a context without a context
    // list owner" for a null list. The name is set when construction ends.
    TXcBaseDataContext(TXcBaseDataContexts* list, const String& name);

    TObject* Implementer() override { return this; }
    TIntfPtr<IXcDataContexts> Contexts() override { return TIntfPtr<IXcDataContexts>(list_); }
    bool IsDeletable() override { return true; }
    bool IsStreamable() { return !IsDeletable(); }
    // Raises EXCLDataContexts "A context with that name already exists" when
    // another context of the list has it (ignoring case).
    virtual void SetName(const String& value);

    void AfterConstruction() override;

protected:
    virtual void DoSetName(const String& value) = 0;

private:
    TXcBaseDataContexts* list_;
    String initialName_;
};

class TXcDataContext : public TXcBaseDataContext {
    RTL_CLASS(TXcDataContext, TXcBaseDataContext);

public:
    using TXcBaseDataContext::TXcBaseDataContext;
    String Name() override { return name_; }

protected:
    void DoSetName(const String& value) override { name_ = value; }

private:
    String name_;
};

// A context that others may rename.
class TXcManagedDataContext : public TImplements<TXcDataContext, IXcDataContextRename> {
    RTL_CLASS(TXcManagedDataContext, TXcDataContext);

public:
    using TImplements::TImplements;
    void SetName(const String& value) override { TXcDataContext::SetName(value); }
};

// A context that cannot be deleted.
class TXcFixedDataContext : public TXcDataContext {
    RTL_CLASS(TXcFixedDataContext, TXcDataContext);

public:
    using TXcDataContext::TXcDataContext;
    bool IsDeletable() override { return false; }
};
