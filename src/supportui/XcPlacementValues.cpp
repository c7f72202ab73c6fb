#include "supportui/XcPlacementValues.h"

#include <array>

#include "platform/rtl/Conversions.h"
#include "platform/rtl/Format.h"
#include "platform/ui/Application.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Screen.h"
#include "platform/win/User.h"
#include "support/storage/XcAppStorage.h"

namespace {

const TPlacementOptions kActiveControlOnly{fpActiveControl};

String Join(const String& path, const String& name) { return TXcCustomAppStorage::JoinPaths({path, name}); }

String FourNumbers(int a, int b, int c, int d) { return Format(u"%d,%d,%d,%d", {a, b, c, d}); }

// The comma-separated fields of Text (missing ones empty).
std::array<String, 4> Words(const String& text) {
    std::array<String, 4> words;
    size_t start = 0;
    for (String& word : words) {
        if (start > text.size()) break;
        const size_t comma = text.find(u',', start);
        word = text.substr(start, comma == String::npos ? String::npos : comma - start);
        start = comma == String::npos ? text.size() + 1 : comma + 1;
    }
    return words;
}

bool IsMainFormOrNone(const TCustomForm& form) {
    const TCustomForm* main = Application().MainForm();
    return !main || main == &form;
}

WINDOWPLACEMENT PlacementOf(TCustomForm& form) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(form.Handle(), &placement);
    return placement;
}

// Position as the restored options leave it, so showing the form does not place it anew.
TPosition PositionAfterRestore(TPosition position, TPlacementOptions options) {
    const bool size = options.Contains(fpSize), location = options.Contains(fpLocation);
    if (size && location) return poDesigned;
    if (location) return position == poDefault ? poDefaultSizeOnly : position == poDesigned ? position : poDesigned;
    return position == poDefault ? poDefaultPosOnly : position;
}

TWindowState StoredWindowState(TCustomForm& form, int showCmd) {
    switch (showCmd) {
    case SW_SHOWNORMAL:
    case SW_SHOW:
    case SW_RESTORE: return wsNormal;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: return wsMinimized;
    case SW_SHOWMAXIMIZED: return wsMaximized;
    default:
        const bool natural = form.FormStyle() == fsMDIForm || (form.FormStyle() == fsNormal && form.Position() == poDefault);
        return IsMainFormOrNone(form) && natural ? wsMaximized : wsNormal;
    }
}

} // namespace

String ScreenSizeSuffix() {
    return Format(u"(%dx%d)", {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

String ReadResolutionValue(TXcCustomAppStorage& storage, const String& path) {
    const String suffixed = path + ScreenSizeSuffix();
    return storage.ReadString(storage.HasValue(suffixed) ? suffixed : path, String());
}

void WriteResolutionValue(TXcCustomAppStorage& storage, const String& path, const String& value) {
    storage.WriteString(path + ScreenSizeSuffix(), value);
    storage.WriteString(path, value);
}

void SaveFormPlacement(TCustomForm& form, TXcCustomAppStorage& storage, const String& path, TPlacementOptions options) {
    if (options == kActiveControlOnly) return;
    WINDOWPLACEMENT placement = PlacementOf(form);
    if (&form == Application().MainForm() && IsIconic(Application().Handle())) placement.showCmd = SW_SHOWMINIMIZED;
    if (form.FormStyle() == fsMDIChild && form.WindowState() == wsMinimized) placement.flags |= WPF_SETMINPOSITION;
    if (options.Contains(fpState)) storage.WriteInteger(Join(path, u"ShowCmd"), int(placement.showCmd));
    if (!options.Contains(fpSize) && !options.Contains(fpLocation)) return;
    storage.WriteInteger(Join(path, u"Flags"), int(placement.flags));
    storage.WriteInteger(Join(path, u"PixelsPerInch"), Screen().PixelsPerInch());
    WriteResolutionValue(storage, Join(path, u"MinMaxPos"),
                         FourNumbers(placement.ptMinPosition.x, placement.ptMinPosition.y, placement.ptMaxPosition.x,
                                     placement.ptMaxPosition.y));
    const RECT& normal = placement.rcNormalPosition;
    WriteResolutionValue(storage, Join(path, u"NormPos"), FourNumbers(normal.left, normal.top, normal.right, normal.bottom));
}

void RestoreFormPlacement(TCustomForm& form, TXcCustomAppStorage& storage, const String& path,
                          TPlacementOptions options) {
    if (options == kActiveControlOnly) return;
    WINDOWPLACEMENT placement = PlacementOf(form);
    if (!IsWindowVisible(form.Handle())) placement.showCmd = SW_HIDE;
    const bool size = options.Contains(fpSize), location = options.Contains(fpLocation);
    if (size || location) {
        bool found = false;
        placement.flags = UINT(storage.ReadInteger(Join(path, u"Flags"), int(placement.flags)));
        if (const String text = ReadResolutionValue(storage, Join(path, u"MinMaxPos")); !text.empty()) {
            found = true;
            const auto words = Words(text);
            if (location) placement.ptMinPosition = {StrToIntDef(words[0], 0), StrToIntDef(words[1], 0)};
            if (size) placement.ptMaxPosition = {StrToIntDef(words[2], 0), StrToIntDef(words[3], 0)};
        }
        if (const String text = ReadResolutionValue(storage, Join(path, u"NormPos")); !text.empty()) {
            found = true;
            const auto words = Words(text);
            RECT& normal = placement.rcNormalPosition;
            normal.left = location ? StrToIntDef(words[0], form.Left()) : form.Left();
            normal.top = location ? StrToIntDef(words[1], form.Top()) : form.Top();
            if (size) {
                normal.right = StrToIntDef(words[2], form.Width()) + normal.left - StrToIntDef(words[0], form.Left());
                normal.bottom = StrToIntDef(words[3], form.Height()) + normal.top - StrToIntDef(words[1], form.Top());
            } else {
                normal.right = normal.left + form.Width();
                normal.bottom = normal.top + form.Height();
            }
        }
        if (found)
            found = storage.ReadInteger(Join(path, u"PixelsPerInch"), Screen().PixelsPerInch()) == Screen().PixelsPerInch();
        const RECT& normal = placement.rcNormalPosition;
        if (found && normal.right > normal.left && normal.bottom > normal.top) {
            form.SetPosition(PositionAfterRestore(form.Position(), options));
            SetWindowPlacement(form.Handle(), &placement);
        }
    }
    if (options.Contains(fpState)) {
        const TWindowState state = StoredWindowState(form, storage.ReadInteger(Join(path, u"ShowCmd"), 0));
        if (state == wsMinimized && IsMainFormOrNone(form)) {
            form.SetWindowState(wsNormal);
            PostMessageW(Application().Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
            return;
        }
        form.SetWindowState(state);
    }
    form.Update();
}
