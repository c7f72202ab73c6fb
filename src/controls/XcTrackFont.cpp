#include "controls/XcTrackFont.h"

void SyncTrackFont(TFont* trackFont, const TFont* font, TXcTrackFontOptions options) {
    if (!options.Contains(hoFollowFont)) return;
    if (!options.Contains(hoPreserveCharSet)) trackFont->SetCharset(font->Charset());
    if (!options.Contains(hoPreserveColor)) trackFont->SetColor(font->Color());
    if (!options.Contains(hoPreserveHeight)) trackFont->SetHeight(font->Height());
    if (!options.Contains(hoPreserveName)) trackFont->SetName(font->Name());
    if (!options.Contains(hoPreservePitch)) trackFont->SetPitch(font->Pitch());
    if (!options.Contains(hoPreserveStyle)) trackFont->SetStyle(font->Style());
}
