#pragma once
// The video renderer: takes VIDEOINFO YV12 (preferred) or RGB32 pictures of
// any size, both as top-down rows, and shows them in a window of the platform
// layer. The streaming thread converts and scales each picture to the
// destination (letter-boxed, or stretched when the aspect is not kept), swaps
// it in under a short lock and posts the window a private message; the
// window's thread then invalidates and paints it: black bars, then the
// picture. The renderer hooks the window's procedure for that message and for
// painting, so any window will do. No streaming thread touches the window, and
// the GUI thread never waits for a streaming thread.

#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/BaseRenderer.h"

inline constexpr TGUID CLSID_VideoRenderer = TGUID::Parse("{7A3C5E10-2D4B-4F61-8A9C-0B1E2D3F4B04}");

class TVideoRenderer : public TBCBaseRenderer {
public:
    TVideoRenderer();
    ~TVideoRenderer() override;

    HRESULT CheckMediaType(const AM_MEDIA_TYPE& type) override;
    HRESULT SetMediaType(const AM_MEDIA_TYPE& type) override;

    // The owner's settings, on the window's thread.
    void SetWindow(HWND window);
    void SetDestination(const RECT& destination);
    void SetVisible(bool visible);
    void SetKeepAspect(bool keep);
    HWND Window() const noexcept { return window_; }

    // Where a picture of Width x Height goes inside Destination.
    static RECT PictureRect(const RECT& destination, int width, int height, bool keepAspect);

    // One picture's pixels: rows top-down, 32 bits each.
    struct TPicture {
        int width = 0, height = 0;
        std::vector<uint32_t> pixels;
    };
    // The last picture taken, kept for redrawing at another size.
    struct TSourcePicture {
        bool yv12 = true;
        int width = 0, height = 0;
        std::vector<BYTE> bytes;
    };

protected:
    void DoRenderSample(IMediaSample* sample) override;

private:
    class TScaler;
    static LRESULT HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    // The window thread's DIB section of Width x Height, made again only when the size changes.
    void* FrameBits(HDC dc, int width, int height);
    void FreeFrameBitmap();
    void Unhook();

    // Swapped in and taken under frameMutex_; not changed while shown. The
    // streaming thread reuses the ones it swapped out once nobody holds them.
    mutable std::mutex frameMutex_;
    std::shared_ptr<TSourcePicture> kept_, spareKept_;
    std::shared_ptr<TPicture> picture_, sparePicture_;
    RECT destination_{};
    bool keepAspect_ = true;
    bool visible_ = true;
    int formatWidth_ = 0, formatHeight_ = 0;
    bool formatYv12_ = true;
    std::atomic<bool> invalidatePending_{false};
    std::atomic<HWND> window_{nullptr};
    WNDPROC originalProc_ = nullptr;
    std::unique_ptr<TScaler> streamScaler_;
    std::unique_ptr<TScaler> paintScaler_;
    HBITMAP frameBitmap_ = nullptr;
    void* frameBits_ = nullptr;
    SIZE frameSize_{};
};
