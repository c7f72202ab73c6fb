#pragma once
// Named shared memory: views of named objects shared by the processes of the
// user, counted per process. A name opened again in the same process (its
// letter case aside) gets the same view, which stays until every open is closed.
// And two small helpers: zeroing a buffer and the braced text of a GUID.

#include <cstddef>
#include <cstdint>

#include "platform/rtl/ErrorCodes.h"
#include "platform/rtl/Guid.h"
#include "platform/rtl/Interfaces.h"
#include "platform/rtl/String.h"
#include "support/utils/ScBase.h"

RTL_DECLARE_EXCEPTION(ESharedMemError, EScError);

constexpr uint32_t FILE_MAP_COPY = 0x0001;
constexpr uint32_t FILE_MAP_WRITE = 0x0002;
constexpr uint32_t FILE_MAP_READ = 0x0004;
constexpr uint32_t FILE_MAP_ALL_ACCESS = 0xF001F;

// Sets View to the view of Name and returns 0 when this call created the object,
// ERROR_ALREADY_EXISTS when it was open in this process or another one. A new
// object has Size zero bytes; Size 0 opens an existing object whole and raises
// ESharedMemError "The MMF named "<name>" cannot be created empty" for a new
// name. The view is private with FILE_MAP_COPY, read-only without
// FILE_MAP_WRITE (which FILE_MAP_ALL_ACCESS holds); an open of a name this
// process has open keeps the first access. System failures raise EOSError.
int OpenSharedMemory(void*& view, const String& name, size_t size, uint32_t desiredAccess = FILE_MAP_ALL_ACCESS);
// Closes one open of View and sets it to null; true also for a null View.
// False, View unchanged, when View was not opened by OpenSharedMemory.
bool CloseSharedView(void*& view);
inline bool FreeSharedMemory(void*& view) { return CloseSharedView(view); }

// The lock of this process's list of views, held while the reference lives
// (TScIntfCriticalSection). Made on first use; null once the unit has finished.
TIntfPtr<IInterface> SharedListLock();

// Sets Size bytes of Buffer to 0; nothing for a Size of 0 or less.
void ZeroFill(void* buffer, ptrdiff_t size);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper-case hexadecimal digits.
inline String GuidToText(const TGUID& guid) { return GUIDToString(guid); }
