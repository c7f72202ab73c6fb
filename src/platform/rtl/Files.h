#pragma once
// Files, folders and path names. Paths use '/'; names are String and become
// UTF-8 only at the system call. Functions answering bool report failure that
// way and leave errno set.

#include <cstdint>
#include <memory>

#include "platform/rtl/DateTime.h"
#include "platform/rtl/String.h"

constexpr char16_t PathDelim = u'/';

bool FileExists(const String& fileName);
bool DirectoryExists(const String& directory);
// Creates Dir and every missing parent; raises EInOutError "Unable to create
// directory" for an empty name.
bool ForceDirectories(const String& dir);
bool CreateDir(const String& dir);
bool RemoveDir(const String& dir);
bool DeleteFile(const String& fileName);
// Does not replace an existing NewName.
bool RenameFile(const String& oldName, const String& newName);
// Keeps a file that does not read before it is replaced: gives it the second
// name "<FileName>.damaged", or ".damaged.1" ... when that one is taken (a hard
// link, so the file stays in place until it is replaced; renamed where no hard
// link can be made). True when done or when there is no such file.
bool KeepDamagedCopy(const String& fileName);
// -1 when the file does not exist.
int64_t FileSize(const String& fileName);
// The time of the last change, in local time, to the second.
bool FileAge(const String& fileName, TDateTime& fileDateTime);

// The part up to and including the last '/'.
String ExtractFilePath(const String& fileName);
// ExtractFilePath without the trailing '/' (except for the root "/").
String ExtractFileDir(const String& fileName);
String ExtractFileName(const String& fileName);
// From the last '.' of the name part, dot included; empty when there is none.
String ExtractFileExt(const String& fileName);
String ChangeFileExt(const String& fileName, const String& extension);
String IncludeTrailingPathDelimiter(const String& path);
// Keeps the root "/".
String ExcludeTrailingPathDelimiter(const String& path);
// Absolute and without "." and ".." parts; symbolic links are not resolved.
String ExpandFileName(const String& fileName);

String GetCurrentDir();
bool SetCurrentDir(const String& dir);
// $TMPDIR or /tmp, with a trailing '/'.
String GetTempDir();
// Creates an empty file with a new name "<Dir>/<Prefix>XXXXXX" and returns its name.
String GetTempFileName(const String& dir, const String& prefix);

// Wildcard match of a name against a mask with '*' and '?', ignoring ASCII
// case; "*.*" matches every name.
bool MatchesMask(const String& name, const String& mask);

// File attributes as FindFirst reports them.
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02; // the name starts with '.'
constexpr int faSysFile = 0x04;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20; // any other (regular) file
constexpr int faSymLink = 0x400;
constexpr int faAnyFile = 0x1FF;

struct TSearchRec {
    String Name;
    int64_t Size = 0;
    int Attr = 0;
    TDateTime Time = 0; // as FileAge

    struct TFindState;
    std::shared_ptr<TFindState> FindHandle;
};

// Path is a folder plus a name mask ("/data/*.txt"). Lists the entries whose
// name matches the mask: plain files always, directories and hidden entries only
// when Attr asks for them; "." and ".." never. Returns 0 when an entry was found,
// otherwise an errno value (ENOENT when nothing matches).
int FindFirst(const String& path, int attr, TSearchRec& f);
int FindNext(TSearchRec& f);
void FindClose(TSearchRec& f);
