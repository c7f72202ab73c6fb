#pragma once
// Data transfer: clipboard formats, global memory and streams, data objects,
// drop targets and sources, files dropped on windows. Interfaces are the
// object model's (IInterface, TIntfPtr); an interface handed out through a
// TIntfPtr& parameter carries its own reference.

#include <cstddef>
#include <cstdint>

#include "platform/rtl/Interfaces.h"
#include "platform/win/Types.h"

// Result codes.
inline constexpr HRESULT DV_E_LINDEX = static_cast<HRESULT>(0x80040068);
inline constexpr HRESULT DV_E_TYMED = static_cast<HRESULT>(0x80040069);
inline constexpr HRESULT DV_E_FORMATETC = static_cast<HRESULT>(0x8004006A);
inline constexpr HRESULT DV_E_CLIPFORMAT = DV_E_FORMATETC;
inline constexpr HRESULT DV_E_DVASPECT = static_cast<HRESULT>(0x8004006B);
inline constexpr HRESULT DATA_S_SAMEFORMATETC = 0x00040130;
inline constexpr HRESULT OLE_S_USEREG = 0x00040000;
inline constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = static_cast<HRESULT>(0x80040003);
inline constexpr HRESULT OLE_E_NOCONNECTION = static_cast<HRESULT>(0x80040004);
inline constexpr HRESULT OLE_E_WRONGCOMPOBJ = static_cast<HRESULT>(0x8004000E);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110);
inline constexpr HRESULT DRAGDROP_S_DROP = 0x00040100;
inline constexpr HRESULT DRAGDROP_S_CANCEL = 0x00040101;
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = 0x00040102;
inline constexpr HRESULT DRAGDROP_E_NOTREGISTERED = static_cast<HRESULT>(0x80040100);
inline constexpr HRESULT DRAGDROP_E_ALREADYREGISTERED = static_cast<HRESULT>(0x80040101);
inline constexpr HRESULT DRAGDROP_E_INVALIDHWND = static_cast<HRESULT>(0x80040102);
inline constexpr HRESULT CLIPBRD_E_CANT_OPEN = static_cast<HRESULT>(0x800401D0);
inline constexpr HRESULT CLIPBRD_E_BAD_DATA = static_cast<HRESULT>(0x800401D3);
inline constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001);
inline constexpr HRESULT STG_E_INVALIDPOINTER = static_cast<HRESULT>(0x80030009);
inline constexpr HRESULT STG_E_MEDIUMFULL = static_cast<HRESULT>(0x80030070);
inline constexpr HRESULT STG_E_INVALIDPARAMETER = static_cast<HRESULT>(0x80030057);

// Predefined clipboard formats; registered ones start at 0xC000.
using CLIPFORMAT = WORD;
inline constexpr CLIPFORMAT CF_TEXT = 1;
inline constexpr CLIPFORMAT CF_BITMAP = 2;
inline constexpr CLIPFORMAT CF_METAFILEPICT = 3;
inline constexpr CLIPFORMAT CF_SYLK = 4;
inline constexpr CLIPFORMAT CF_DIF = 5;
inline constexpr CLIPFORMAT CF_TIFF = 6;
inline constexpr CLIPFORMAT CF_OEMTEXT = 7;
inline constexpr CLIPFORMAT CF_DIB = 8;
inline constexpr CLIPFORMAT CF_PALETTE = 9;
inline constexpr CLIPFORMAT CF_PENDATA = 10;
inline constexpr CLIPFORMAT CF_RIFF = 11;
inline constexpr CLIPFORMAT CF_WAVE = 12;
inline constexpr CLIPFORMAT CF_UNICODETEXT = 13;
inline constexpr CLIPFORMAT CF_ENHMETAFILE = 14;
inline constexpr CLIPFORMAT CF_HDROP = 15;
inline constexpr CLIPFORMAT CF_LOCALE = 16;
inline constexpr CLIPFORMAT CF_DIBV5 = 17;
inline constexpr UINT kFirstRegisteredClipboardFormat = 0xC000;

// Media.
inline constexpr DWORD TYMED_NULL = 0;
inline constexpr DWORD TYMED_HGLOBAL = 1;
inline constexpr DWORD TYMED_FILE = 2;
inline constexpr DWORD TYMED_ISTREAM = 4;
inline constexpr DWORD TYMED_ISTORAGE = 8;
inline constexpr DWORD TYMED_GDI = 16;
inline constexpr DWORD TYMED_MFPICT = 32;
inline constexpr DWORD TYMED_ENHMF = 64;

inline constexpr DWORD DVASPECT_CONTENT = 1;
inline constexpr DWORD DVASPECT_THUMBNAIL = 2;
inline constexpr DWORD DVASPECT_ICON = 4;
inline constexpr DWORD DVASPECT_DOCPRINT = 8;

inline constexpr DWORD DATADIR_GET = 1;
inline constexpr DWORD DATADIR_SET = 2;

inline constexpr DWORD ADVF_NODATA = 1;
inline constexpr DWORD ADVF_PRIMEFIRST = 2;
inline constexpr DWORD ADVF_ONLYONCE = 4;
inline constexpr DWORD ADVF_DATAONSTOP = 64;

// Drop effects and the key state of drop-target calls (MK_LBUTTON... in
// Constants.h; the Alt key shares its bit with the first extra button there).
inline constexpr DWORD DROPEFFECT_NONE = 0;
inline constexpr DWORD DROPEFFECT_COPY = 1;
inline constexpr DWORD DROPEFFECT_MOVE = 2;
inline constexpr DWORD DROPEFFECT_LINK = 4;
inline constexpr DWORD DROPEFFECT_SCROLL = 0x80000000;
inline constexpr UINT MK_ALT = 0x0020;

// Streams.
inline constexpr DWORD STATFLAG_DEFAULT = 0;
inline constexpr DWORD STATFLAG_NONAME = 1;
inline constexpr DWORD STATFLAG_NOOPEN = 2;
inline constexpr DWORD STREAM_SEEK_SET = 0;
inline constexpr DWORD STREAM_SEEK_CUR = 1;
inline constexpr DWORD STREAM_SEEK_END = 2;
inline constexpr DWORD STGTY_STORAGE = 1;
inline constexpr DWORD STGTY_STREAM = 2;
inline constexpr DWORD STGM_READ = 0x00000000;
inline constexpr DWORD STGM_WRITE = 0x00000001;
inline constexpr DWORD STGM_READWRITE = 0x00000002;

// Global memory.
inline constexpr UINT GMEM_FIXED = 0x0000;
inline constexpr UINT GMEM_MOVEABLE = 0x0002;
inline constexpr UINT GMEM_ZEROINIT = 0x0040;
inline constexpr UINT GMEM_MODIFY = 0x0080;
inline constexpr UINT GMEM_SHARE = 0x2000;
inline constexpr UINT GMEM_DDESHARE = GMEM_SHARE;
inline constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
inline constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// Component creation contexts (CoCreateInstance).
inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_ALL = 0x17;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;
inline constexpr DWORD COINIT_MULTITHREADED = 0x0;

// A block of global memory. HDROP is such a block holding a DROPFILES record.
struct HGLOBAL__;
using HGLOBAL = HGLOBAL__*;
using HDROP = HGLOBAL;
using SIZE_T = size_t;
using ULONG = uint32_t;

struct POINTL {
    LONG x, y;
    friend bool operator==(const POINTL&, const POINTL&) = default;
};

struct FILETIME {
    DWORD dwLowDateTime, dwHighDateTime;
};

// Header of a list of file names: the names start pFiles bytes from the start
// of the block, each ends with a NUL and the list with an empty name; UTF-16
// when fWide, else in the process code page (UTF-8).
#pragma pack(push, 1)
struct DROPFILES {
    DWORD pFiles;
    POINT pt;
    BOOL fNC;
    BOOL fWide;
};
#pragma pack(pop)
static_assert(sizeof(DROPFILES) == 20);

struct DVTARGETDEVICE;

struct FORMATETC {
    CLIPFORMAT cfFormat = 0;
    DVTARGETDEVICE* ptd = nullptr;
    DWORD dwAspect = DVASPECT_CONTENT;
    LONG lindex = -1;
    DWORD tymed = TYMED_NULL;
};

class IStream;
class IStorage; // not provided: no medium carries one

// A medium: tymed tells which member holds it. pUnkForRelease, when set, is
// released instead of the medium being freed.
struct STGMEDIUM {
    DWORD tymed = TYMED_NULL;
    union {
        HBITMAP hBitmap;
        HANDLE hMetaFilePict;
        HANDLE hEnhMetaFile;
        HGLOBAL hGlobal;
        LPWSTR lpszFileName;
        IStream* pstm;
        IStorage* pstg;
    };
    IInterface* pUnkForRelease = nullptr;
    STGMEDIUM() : hGlobal(nullptr) {}
};

struct STATSTG {
    LPWSTR pwcsName = nullptr; // task memory (CoTaskMemFree) unless STATFLAG_NONAME
    DWORD type = 0;
    uint64_t cbSize = 0;
    FILETIME mtime{}, ctime{}, atime{};
    DWORD grfMode = 0;
    DWORD grfLocksSupported = 0;
    TGUID clsid{};
    DWORD grfStateBits = 0;
    DWORD reserved = 0;
};

class IAdviseSink;

struct STATDATA {
    FORMATETC formatetc;
    DWORD advf = 0;
    IAdviseSink* pAdvSink = nullptr; // counted while held by an enumerator's caller
    DWORD dwConnection = 0;
};

// Interfaces.
class ISequentialStream : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{0C733A30-2A1C-11CE-ADE5-00AA0044773D}");
    // S_OK (also for a short read at the end); *read (may be null) gets the count.
    virtual HRESULT Read(void* buffer, ULONG count, ULONG* read) = 0;
    virtual HRESULT Write(const void* buffer, ULONG count, ULONG* written) = 0;
};

class IStream : public ISequentialStream {
public:
    static constexpr TGUID IID = TGUID::Parse("{0000000C-0000-0000-C000-000000000046}");
    using Inherited = ISequentialStream;
    virtual HRESULT Seek(int64_t move, DWORD origin, uint64_t* newPosition) = 0;
    virtual HRESULT SetSize(uint64_t newSize) = 0;
    virtual HRESULT CopyTo(IStream* target, uint64_t count, uint64_t* read, uint64_t* written) = 0;
    virtual HRESULT Commit(DWORD flags) = 0;
    virtual HRESULT Revert() = 0;
    virtual HRESULT LockRegion(uint64_t offset, uint64_t count, DWORD lockType) = 0;
    virtual HRESULT UnlockRegion(uint64_t offset, uint64_t count, DWORD lockType) = 0;
    virtual HRESULT Stat(STATSTG& stat, DWORD flags) = 0;
    virtual HRESULT Clone(TIntfPtr<IStream>& clone) = 0;
};

class IEnumFORMATETC : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{00000103-0000-0000-C000-000000000046}");
    // S_OK when all Count were fetched, else S_FALSE; Fetched may be null only
    // when Count is 1.
    virtual HRESULT Next(ULONG count, FORMATETC* formats, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(TIntfPtr<IEnumFORMATETC>& clone) = 0;
};

class IEnumSTATDATA : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{00000105-0000-0000-C000-000000000046}");
    // Each fetched pAdvSink carries a reference the caller releases.
    virtual HRESULT Next(ULONG count, STATDATA* data, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(TIntfPtr<IEnumSTATDATA>& clone) = 0;
};

class IAdviseSink : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{0000010F-0000-0000-C000-000000000046}");
    virtual void OnDataChange(const FORMATETC& format, const STGMEDIUM& medium) = 0;
    virtual void OnViewChange(DWORD aspect, LONG index) = 0;
    virtual void OnRename(IInterface* moniker) = 0;
    virtual void OnSave() = 0;
    virtual void OnClose() = 0;
};

class IDataObject : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{0000010E-0000-0000-C000-000000000046}");
    // Medium is the caller's to release (ReleaseStgMedium).
    virtual HRESULT GetData(const FORMATETC& format, STGMEDIUM& medium) = 0;
    virtual HRESULT GetDataHere(const FORMATETC& format, STGMEDIUM& medium) = 0;
    virtual HRESULT QueryGetData(const FORMATETC& format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC& format, FORMATETC& canonical) = 0;
    // With Release the object owns the medium afterwards (when it succeeds).
    virtual HRESULT SetData(const FORMATETC& format, STGMEDIUM& medium, BOOL release) = 0;
    virtual HRESULT EnumFormatEtc(DWORD direction, TIntfPtr<IEnumFORMATETC>& formats) = 0;
    virtual HRESULT DAdvise(const FORMATETC& format, DWORD advf, IAdviseSink* sink, DWORD& connection) = 0;
    virtual HRESULT DUnadvise(DWORD connection) = 0;
    virtual HRESULT EnumDAdvise(TIntfPtr<IEnumSTATDATA>& advises) = 0;
};

class IDataAdviseHolder : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{00000110-0000-0000-C000-000000000046}");
    virtual HRESULT Advise(IDataObject* data, const FORMATETC& format, DWORD advf, IAdviseSink* sink,
                           DWORD& connection) = 0;
    virtual HRESULT Unadvise(DWORD connection) = 0;
    virtual HRESULT EnumAdvise(TIntfPtr<IEnumSTATDATA>& advises) = 0;
    virtual HRESULT SendOnDataChange(IDataObject* data, DWORD reserved, DWORD advf) = 0;
};

// The effect is the allowed effects on the way in, the chosen one on the way
// out; the point is in screen coordinates.
class IDropTarget : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{00000122-0000-0000-C000-000000000046}");
    virtual HRESULT DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) = 0;
    virtual HRESULT DragOver(DWORD keyState, POINTL point, DWORD& effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD& effect) = 0;
};

class IDropSource : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{00000121-0000-0000-C000-000000000046}");
    // S_OK goes on, DRAGDROP_S_DROP drops, DRAGDROP_S_CANCEL cancels.
    virtual HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) = 0;
    // DRAGDROP_S_USEDEFAULTCURSORS for the standard cursors, S_OK when the source set one.
    virtual HRESULT GiveFeedback(DWORD effect) = 0;
};

// Clipboard formats: names compare ignoring case; the same name always gets
// the same id, from any thread. 0 for an empty name.
UINT RegisterClipboardFormatW(LPCWSTR name);
// Copies a registered format's name (cut to Size - 1 characters) and returns
// its length; 0 for predefined and unknown formats.
int GetClipboardFormatNameW(UINT format, LPWSTR buffer, int size);

// Global memory: null on failure (never an exception); sizes above
// kMaxGlobalSize are refused.
inline constexpr uint64_t kMaxGlobalSize = uint64_t{1} << 32;
HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes);
HGLOBAL GlobalReAlloc(HGLOBAL memory, SIZE_T bytes, UINT flags);
// Null when freed, else the handle.
HGLOBAL GlobalFree(HGLOBAL memory);
LPVOID GlobalLock(HGLOBAL memory);
// Whether the block stays locked.
BOOL GlobalUnlock(HGLOBAL memory);
// 0 for an invalid handle.
SIZE_T GlobalSize(HGLOBAL memory);

// A stream over a global block (a new one when Memory is null); with
// DeleteOnRelease the block is freed with the last stream on it.
HRESULT CreateStreamOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, TIntfPtr<IStream>& stream);
HRESULT GetHGlobalFromStream(IStream* stream, HGLOBAL* memory);
// Storages are not provided: both answer E_NOTIMPL.
HRESULT CreateILockBytesOnHGlobal(HGLOBAL memory, BOOL deleteOnRelease, TIntfPtr<IInterface>& bytes);
HRESULT StgCreateDocfileOnILockBytes(IInterface* bytes, DWORD mode, DWORD reserved, TIntfPtr<IInterface>& storage);

void ReleaseStgMedium(STGMEDIUM* medium);

// Initialisation is counted per thread: S_OK the first time, S_FALSE after.
HRESULT OleInitialize(LPVOID reserved);
void OleUninitialize();
HRESULT CoInitialize(LPVOID reserved);
HRESULT CoInitializeEx(LPVOID reserved, DWORD flags);
void CoUninitialize();
// There is no component runtime: every class answers REGDB_E_CLASSNOTREG.
HRESULT CoCreateInstance(const TGUID& clsid, IInterface* outer, DWORD context, const TGUID& iid, void** object);

// Drop targets: one per window, found for a window by going up to the first
// registered ancestor. A registration holds a reference and ends with its window.
HRESULT RegisterDragDrop(HWND hwnd, IDropTarget* target);
HRESULT RevokeDragDrop(HWND hwnd);
// Effect: the allowed effects on the way in, the performed one on the way out.
HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD allowedEffects, DWORD* effect);

// Files dropped on windows that accept them (WS_EX_ACCEPTFILES).
void DragAcceptFiles(HWND hwnd, BOOL accept);
// Index 0xFFFFFFFF: the count. A null buffer: the name's length. Otherwise
// copies the name cut to Size - 1 characters with a terminator and returns the
// characters copied.
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR buffer, UINT size);
// The drop point in client coordinates; whether it lies in the client area.
BOOL DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);

// The clipboard as objects.
HRESULT OleSetClipboard(IDataObject* data);
HRESULT OleGetClipboard(TIntfPtr<IDataObject>& data);
HRESULT OleFlushClipboard();
HRESULT OleIsCurrentClipboard(IDataObject* data);

HRESULT CreateDataAdviseHolder(TIntfPtr<IDataAdviseHolder>& holder);
