#pragma once
// Records, identifiers and result codes of the media graph. Times are
// REFERENCE_TIME, 100-nanosecond units. Identifiers are ours, except the
// four-character-code subtypes: {XXXXXXXX-0000-0010-8000-00AA00389B71} with the
// code in the first field, which is how video formats name themselves.

#include <cstdint>

#include "platform/rtl/Interfaces.h"
#include "platform/win/Types.h"
#include "platform/win/gdi/GdiTypes.h"

using REFERENCE_TIME = int64_t;
inline constexpr REFERENCE_TIME kMaxReferenceTime = INT64_MAX;
inline constexpr REFERENCE_TIME kUnitsPerSecond = 10'000'000;
inline constexpr REFERENCE_TIME kUnitsPerMs = 10'000;

// Results of the pin and filter protocol.
inline constexpr HRESULT VFW_S_NO_MORE_ITEMS = 0x00040103;
inline constexpr HRESULT VFW_E_ENUM_OUT_OF_SYNC = static_cast<HRESULT>(0x80040203);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = static_cast<HRESULT>(0x80040204);
inline constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = static_cast<HRESULT>(0x80040207);
inline constexpr HRESULT VFW_E_INVALID_DIRECTION = static_cast<HRESULT>(0x80040208);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = static_cast<HRESULT>(0x80040209);
inline constexpr HRESULT VFW_E_NO_ALLOCATOR = static_cast<HRESULT>(0x8004020A);
inline constexpr HRESULT VFW_E_NO_CLOCK = static_cast<HRESULT>(0x80040213);
inline constexpr HRESULT VFW_E_NOT_FOUND = static_cast<HRESULT>(0x80040216);
inline constexpr HRESULT VFW_E_NOT_STOPPED = static_cast<HRESULT>(0x80040224);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = static_cast<HRESULT>(0x8004022A);
// Results of the graph runtime (values of ours).
inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = 0x00040F01;
inline constexpr HRESULT VFW_E_CANNOT_RENDER = static_cast<HRESULT>(0x80040F02);
inline constexpr HRESULT VFW_E_NOT_COMMITTED = static_cast<HRESULT>(0x80040F03);
inline constexpr HRESULT VFW_E_WRONG_STATE = static_cast<HRESULT>(0x80040F04);
inline constexpr HRESULT VFW_E_SAMPLE_TIME_NOT_SET = static_cast<HRESULT>(0x80040F05);

// Event codes.
inline constexpr long EC_COMPLETE = 0x01;
inline constexpr long EC_ERRORABORT = 0x03;
inline constexpr long EC_VIDEO_SIZE_CHANGED = 0x0A;
inline constexpr long EC_PAUSED = 0x0E;
// Ours: a renderer first holds a sample, or has ended, after a start or flush
// (the graph keeps it to itself).
inline constexpr long EC_RENDERER_READY = 0x8001;

enum FILTER_STATE : int32_t { State_Stopped = 0, State_Paused = 1, State_Running = 2 };
enum PIN_DIRECTION : int32_t { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };

// Positioning flags of SetPositions.
inline constexpr DWORD AM_SEEKING_NoPositioning = 0;
inline constexpr DWORD AM_SEEKING_AbsolutePositioning = 1;
inline constexpr DWORD AM_SEEKING_RelativePositioning = 2;
inline constexpr DWORD AM_SEEKING_IncrementalPositioning = 3;
inline constexpr DWORD AM_SEEKING_PositioningBitsMask = 3;

// Major types, format types and subtypes.
inline constexpr TGUID MEDIATYPE_Video = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A601}");
inline constexpr TGUID MEDIATYPE_Audio = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A602}");
inline constexpr TGUID FORMAT_VideoInfo = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A611}");
inline constexpr TGUID FORMAT_WaveFormatEx = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A612}");
inline constexpr TGUID MEDIASUBTYPE_PCM = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A621}");
inline constexpr TGUID MEDIASUBTYPE_RGB1 = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A631}");
inline constexpr TGUID MEDIASUBTYPE_RGB4 = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A632}");
inline constexpr TGUID MEDIASUBTYPE_RGB8 = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A633}");
inline constexpr TGUID MEDIASUBTYPE_RGB555 = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A634}");
inline constexpr TGUID MEDIASUBTYPE_RGB565 = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A635}");
inline constexpr TGUID MEDIASUBTYPE_RGB24 = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A636}");
inline constexpr TGUID MEDIASUBTYPE_RGB32 = TGUID::Parse("{4F5A1C20-6B3E-4D8A-9C71-2E05B8D3A637}");

constexpr DWORD MakeFourCC(char a, char b, char c, char d) noexcept {
    return DWORD(uint8_t(a)) | DWORD(uint8_t(b)) << 8 | DWORD(uint8_t(c)) << 16 | DWORD(uint8_t(d)) << 24;
}
constexpr TGUID FourCCSubtype(DWORD code) noexcept {
    TGUID g{code, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
    return g;
}
inline constexpr DWORD kFourCC_YV12 = MakeFourCC('Y', 'V', '1', '2');
inline constexpr TGUID MEDIASUBTYPE_YV12 = FourCCSubtype(kFourCC_YV12);

// A media type. The format block (cbFormat bytes at pbFormat) is task memory
// (CoTaskMemAlloc) owned by the record; pUnk is a counted reference.
struct AM_MEDIA_TYPE {
    TGUID majortype;
    TGUID subtype;
    BOOL bFixedSizeSamples;
    BOOL bTemporalCompression;
    ULONG lSampleSize;
    TGUID formattype;
    IInterface* pUnk;
    ULONG cbFormat;
    BYTE* pbFormat;
};

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
};

struct TRUECOLORINFO {
    DWORD dwBitMasks[3];
    RGBQUAD bmiColors[256];
};

// The video format block with room for a palette or colour masks.
struct VIDEOINFO : VIDEOINFOHEADER {
    union {
        RGBQUAD bmiColors[256];
        DWORD dwBitMasks[3];
        TRUECOLORINFO TrueColorInfo;
    };
};
static_assert(sizeof(VIDEOINFO) == 1128);

inline constexpr WORD WAVE_FORMAT_PCM = 1;

#pragma pack(push, 2)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

struct ALLOCATOR_PROPERTIES {
    long cBuffers;
    long cbBuffer;
    long cbAlign;
    long cbPrefix;
};

// Filter and pin names stay below this length.
inline constexpr int kMaxFilterName = 128;

enum QualityMessageType : int32_t { Famine = 0, Flood = 1 };
struct Quality {
    QualityMessageType Type;
    long Proportion;
    REFERENCE_TIME Late;
    REFERENCE_TIME TimeStamp;
};
