#pragma once
// The shell's folder objects over the file system.
//
// SHGetDesktopFolder answers the root of the namespace, the file-system root
// "/": its item-id lists (ItemIdLists.h) are absolute. A folder bound from it
// speaks of its own items with lists relative to itself. Names are parsed by
// their text, so a name may be parsed before its file exists; enumerations
// and attributes look at the file system. Hidden items are those whose names
// begin with a dot.

#include "platform/rtl/Interfaces.h"
#include "platform/rtl/TaskAllocator.h"
#include "platform/win/Constants.h"
#include "platform/win/Types.h"

// GetDisplayNameOf: how the name is wanted.
constexpr DWORD SHGDN_NORMAL = 0x0000;     // the item's name
constexpr DWORD SHGDN_INFOLDER = 0x0001;   // relative to its folder
constexpr DWORD SHGDN_FOREDITING = 0x1000; // for renaming: the name
constexpr DWORD SHGDN_FORPARSING = 0x8000; // the whole path (with SHGDN_INFOLDER: the name)

// EnumObjects: what is listed.
constexpr DWORD SHCONTF_FOLDERS = 0x0020;
constexpr DWORD SHCONTF_NONFOLDERS = 0x0040;
constexpr DWORD SHCONTF_INCLUDEHIDDEN = 0x0080;

// GetAttributesOf and ParseDisplayName: what is asked and answered.
constexpr ULONG SFGAO_HIDDEN = 0x00080000;
constexpr ULONG SFGAO_FOLDER = 0x20000000;
constexpr ULONG SFGAO_FILESYSTEM = 0x40000000;
constexpr ULONG SFGAO_HASSUBFOLDER = 0x80000000;

// A name answered by GetDisplayNameOf: this shell always answers STRRET_WSTR,
// a block of the shell allocator that the receiver frees (StrRetToBufW does).
constexpr UINT STRRET_WSTR = 0;
constexpr UINT STRRET_OFFSET = 1; // UTF-8 text at uOffset bytes into the item-id list
constexpr UINT STRRET_CSTR = 2;   // UTF-8 text in cStr
struct STRRET {
    UINT uType = STRRET_WSTR;
    union {
        LPWSTR pOleStr;
        UINT uOffset;
        char cStr[MAX_PATH];
    };
};

class IEnumIDList : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{000214F2-0000-0000-C000-000000000046}");
    // Up to Count next items, each a new relative list; S_FALSE when fewer were left.
    virtual HRESULT Next(ULONG count, ITEMIDLIST** items, ULONG* fetched) = 0;
    virtual HRESULT Skip(ULONG count) = 0;
    virtual HRESULT Reset() = 0;
    // An enumerator of the same items at the same position.
    virtual HRESULT Clone(TIntfPtr<IEnumIDList>& copy) = 0;
};

class IShellFolder : public virtual IInterface {
public:
    static constexpr TGUID IID = TGUID::Parse("{000214E6-0000-0000-C000-000000000046}");
    // A new list for Name relative to this folder (the root also takes an
    // absolute path); Attributes, when given, is reduced to those the item has.
    // E_INVALIDARG for a name that leaves the folder or is no path.
    virtual HRESULT ParseDisplayName(HWND owner, void* bindContext, LPCWSTR name, ULONG* eaten, ITEMIDLIST** list,
                                     ULONG* attributes) = 0;
    // The folder's items of the kinds Flags asks for, sorted by name (CompareFileNames).
    virtual HRESULT EnumObjects(HWND owner, DWORD flags, TIntfPtr<IEnumIDList>& items) = 0;
    // The folder of a relative list (IShellFolder only); E_FAIL when it is no folder.
    virtual HRESULT BindToObject(const ITEMIDLIST* list, void* bindContext, const TGUID& iid, void** folder) = 0;
    // Reduces Attributes to those every listed item has.
    virtual HRESULT GetAttributesOf(UINT count, const ITEMIDLIST* const* lists, ULONG* attributes) = 0;
    virtual HRESULT GetDisplayNameOf(const ITEMIDLIST* list, DWORD flags, STRRET* name) = 0;
};

HRESULT SHGetDesktopFolder(TIntfPtr<IShellFolder>& folder);

// The name as text, up to its first NUL; frees the STRRET_WSTR block.
// E_INVALIDARG for an unknown form or an offset outside List.
HRESULT StrRetToString(STRRET* name, const ITEMIDLIST* list, String& text);
// Copies the name into Buffer (cut to Size - 1 characters) as StrRetToString
// reads it. E_INVALIDARG without a buffer too.
HRESULT StrRetToBufW(STRRET* name, const ITEMIDLIST* list, LPWSTR buffer, UINT size);
