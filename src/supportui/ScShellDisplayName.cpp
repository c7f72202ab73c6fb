#include "supportui/ScShellDisplayName.h"

String ShellDisplayName(IShellFolder& folder, const ITEMIDLIST* item, TShellNameKind kind) {
    STRRET name{};
    String text;
    if (folder.GetDisplayNameOf(item, kind == snkForParsing ? SHGDN_FORPARSING : SHGDN_NORMAL, &name) != S_OK ||
        StrRetToString(&name, item, text) != S_OK)
        return String();
    return text;
}
