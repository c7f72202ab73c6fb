#pragma once
// The base types the storage, placement and extended-control units share.

#include "platform/rtl/Component.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Guid.h"

// The error these units raise.
RTL_DECLARE_EXCEPTION(EXCLException, Exception);

// Base of the storage and placement components and the desktop alerts.
class TXcComponent : public TComponent {
public:
    RTL_CLASS(TXcComponent, TComponent);
    using TComponent::TComponent;
};

inline bool GuidsEqual(const TGUID& first, const TGUID& second) noexcept { return IsEqualGUID(first, second); }
