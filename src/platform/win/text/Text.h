#pragma once
// Fonts and text: creating fonts, writing and measuring text, and DrawTextW's
// layout. Text is UTF-16 (surrogate pairs kept whole); a count of -1 means up
// to the terminating null, except for TextOutW and ExtTextOutW, whose counts
// are exact (TextOutW refuses -1).
//
// Face names: the built-in test face and "Marlett" (FontEngine.h) answer
// themselves; "MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "宋体",
// "SimSun" and an empty name answer the interface family; any other installed
// family answers itself, else the interface family. Characters a face lacks
// are drawn from another face that has them. Text drawn into a 32-bit target
// leaves alpha 0 in every pixel it touches.

#include "platform/win/gdi/GdiTypes.h"
#include "platform/win/text/TextTypes.h"

// --- Fonts -------------------------------------------------------------------
// lfHeight < 0: the em height in pixels; > 0: the cell height (ascent +
// descent); 0: 12 pixels em. lfEscapement (tenths of a degree,
// counter-clockwise) turns the baseline about the reference point; weights of
// 600 and above are bold; NONANTIALIASED_QUALITY draws without grey edges.
// GetObjectW answers the LOGFONTW given.
HFONT CreateFontIndirectW(const LOGFONTW* logFont);
HFONT CreateFontW(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision,
                  DWORD quality, DWORD pitchAndFamily, LPCWSTR face);

// --- Output ------------------------------------------------------------------
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
BOOL TextOutW(HDC dc, int x, int y, LPCWSTR text, int count);
// ETO_OPAQUE fills Rect with the background colour, ETO_CLIPPED clips to it;
// Dx, when given, holds the advance after each UTF-16 unit.
BOOL ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx);

// --- Measuring ---------------------------------------------------------------
BOOL GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, SIZE* size);
// Fit: how many units fit within MaxExtent (when Fit is given); Dx: the extent
// up to and including each unit.
BOOL GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent, INT* fit, INT* dx, SIZE* size);
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
// Copies at most Count - 1 units and a null; answers the units copied, or with
// no buffer the units needed including the null.
int GetTextFaceW(HDC dc, int count, LPWSTR face);

// --- DrawText ----------------------------------------------------------------
// Lines break at CR LF, CR or LF (not with DT_SINGLELINE) and, with
// DT_WORDBREAK, at spaces and between East Asian characters, never before
// closing or after opening punctuation. A Latin word wider than the line
// breaks only with DT_EDITCONTROL, which also drops a partly visible last
// line. '&' underlines the next character and "&&" draws '&' unless
// DT_NOPREFIX. Tabs (DT_EXPANDTABS) stop every eight average character widths.
// The ellipsis modes shorten each line that does not fit; DT_MODIFYSTRING
// writes a shortened single line back, at most Count + 4 units with the null.
// DT_CALCRECT draws nothing and sets the right edge to the widest line and the
// bottom to the text's height. Answers the text height, or for DT_VCENTER and
// DT_BOTTOM the offset of the text's bottom from the top.
int DrawTextW(HDC dc, LPWSTR text, int count, RECT* rect, UINT format);
inline int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format) {
    return DrawTextW(dc, const_cast<LPWSTR>(text), count, rect, format & ~DT_MODIFYSTRING);
}
