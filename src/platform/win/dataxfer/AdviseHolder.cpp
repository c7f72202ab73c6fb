// Advise connections of a data object: sinks told when its data changes.

#include <algorithm>
#include <vector>

#include "platform/win/dataxfer/DataTransfer.h"
#include "platform/win/dataxfer/ListEnumerator.h"

namespace {

struct TConnection {
    DWORD id;
    FORMATETC format;
    DWORD advf;
    TIntfPtr<IAdviseSink> sink;
};

// A connection as STATDATA, with a counted sink.
STATDATA StatDataOf(const TConnection& c) {
    c.sink->_AddRef();
    return STATDATA{c.format, c.advf, c.sink.get(), c.id};
}

class TDataAdviseHolder : public TImplements<TInterfacedObject, IDataAdviseHolder> {
public:
    HRESULT Advise(IDataObject* data, const FORMATETC& format, DWORD advf, IAdviseSink* sink,
                   DWORD& connection) override {
        connection = 0;
        if (!sink) return E_INVALIDARG;
        connection = ++lastId_;
        connections_.push_back({connection, format, advf, sink});
        if (data && (advf & ADVF_PRIMEFIRST)) {
            Tell(connections_.back(), data);
            if (advf & ADVF_ONLYONCE) Unadvise(connection);
        }
        return S_OK;
    }

    HRESULT Unadvise(DWORD connection) override {
        const auto it = std::find_if(connections_.begin(), connections_.end(),
                                     [connection](const TConnection& c) { return c.id == connection; });
        if (it == connections_.end()) return OLE_E_NOCONNECTION;
        connections_.erase(it);
        return S_OK;
    }

    HRESULT EnumAdvise(TIntfPtr<IEnumSTATDATA>& advises) override {
        advises = MakeListEnumerator<IEnumSTATDATA, TConnection, &StatDataOf>(connections_);
        return S_OK;
    }

    HRESULT SendOnDataChange(IDataObject* data, DWORD, DWORD advf) override {
        // A sink may advise or unadvise while it is told: tell those there were.
        const std::vector<TConnection> told = connections_;
        for (const TConnection& c : told) {
            if (!Connected(c.id)) continue;
            Tell(c, data, advf);
            if (c.advf & ADVF_ONLYONCE) Unadvise(c.id);
        }
        return S_OK;
    }

private:
    bool Connected(DWORD id) const {
        return std::any_of(connections_.begin(), connections_.end(), [id](const TConnection& c) { return c.id == id; });
    }

    static void Tell(const TConnection& c, IDataObject* data, DWORD advf = 0) {
        STGMEDIUM medium;
        if (data && !((c.advf | advf) & ADVF_NODATA) && Failed(data->GetData(c.format, medium))) medium = STGMEDIUM{};
        c.sink->OnDataChange(c.format, medium);
        ReleaseStgMedium(&medium);
    }

    std::vector<TConnection> connections_;
    DWORD lastId_ = 0;
};

} // namespace

HRESULT CreateDataAdviseHolder(TIntfPtr<IDataAdviseHolder>& holder) {
    holder = MakeIntf<TDataAdviseHolder>();
    return S_OK;
}
