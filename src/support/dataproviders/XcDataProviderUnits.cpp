// The units of the data-provider framework: the interfaces add their version
// record; the framework also registers its messages and its classes.

#include "support/dataproviders/XcDataConsumer.h"
#include "support/dataproviders/XcDataContexts.h"
#include "support/dataproviders/XcDataExtensions.h"
#include "support/dataproviders/XcDataItems.h"
#include "support/dataproviders/XcDataProviderTexts.h"
#include "support/dataproviders/XcDataViewList.h"
#include "support/utils/SupportUnit.h"

namespace {

const TResStringRec* const XcDataProviderUnitsStrings[] = {
    &RsXcExtensionExists,     &RsXcUnknown,           &RsXcNoItemText,       &RsXcListIndexError,
    &RsXcItemNotDeletable,    &RsXcContextExists,     &RsXcContextWithoutList, &RsXcContextWithoutProvider,
    &RsXcNoContextSupport,    &RsXcNoContextNamed,    &RsXcContextOfOtherProvider, &RsXcItemWithoutProvider,
    &RsXcItemNotFound,        &RsXcViewListOutOfSync,
};

void StartDataProviders() {
    RegisterXcClass<TXcDataItemsList>();
    RegisterXcClass<TXcCustomDataItemsImages>();
    RegisterXcClass<TXcCustomDataItemsTextRenderer>();
    RegisterXcClass<TXcBaseDataItemsListManagement>();
    RegisterXcClass<TXcBaseDataItem>();
    RegisterXcClass<TXcDataItemTextImpl>();
    RegisterXcClass<TXcDataItemImageImpl>();
    RegisterXcClass<TXcDataItemContextTextImpl>();
    RegisterXcClass<TXcDataItemBlockableTextImpl>();
    RegisterXcClass<TXcDataConsumer>();
    RegisterXcClass<TXcDataConsumerItemSelect>();
    RegisterXcClass<TXcDataContexts>();
    RegisterXcClass<TXcDataContext>();
    RegisterXcClass<TXcManagedDataContext>();
    RegisterXcClass<TXcFixedDataContext>();
    // Made for list consumers, but not kept in streams.
    RegisterXcCreators(TXcDataConsumerViewList::StaticClass(), XcCreatorsOf<TXcDataConsumerViewList>());
}

void FinishDataProviders() {
    for (TClass cls : {TXcDataItemsList::StaticClass(), TXcCustomDataItemsImages::StaticClass(),
                       TXcCustomDataItemsTextRenderer::StaticClass(), TXcBaseDataItemsListManagement::StaticClass(),
                       TXcBaseDataItem::StaticClass(), TXcDataItemTextImpl::StaticClass(),
                       TXcDataItemImageImpl::StaticClass(), TXcDataItemContextTextImpl::StaticClass(),
                       TXcDataItemBlockableTextImpl::StaticClass(), TXcDataConsumer::StaticClass(),
                       TXcDataConsumerItemSelect::StaticClass(), TXcDataContexts::StaticClass(),
                       TXcDataContext::StaticClass(), TXcManagedDataContext::StaticClass(),
                       TXcFixedDataContext::StaticClass(), TXcDataConsumerViewList::StaticClass()})
        UnRegisterXcClass(cls);
}

} // namespace

extern const TSupportUnit XcDataProviderIntfUnit{u"XcDataProviderIntf",
                                                 SC_UNIT_VERSION("src/support/dataproviders/XcDataProviderIntf.h")};
extern const TSupportUnit XcDataProviderUnit{u"XcDataProvider",
                                             SC_UNIT_VERSION("src/support/dataproviders/XcDataProviderUnits.cpp"),
                                             XcDataProviderUnitsStrings, StartDataProviders, FinishDataProviders};
