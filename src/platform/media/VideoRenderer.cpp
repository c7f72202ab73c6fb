#include "platform/media/VideoRenderer.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "engine/AVLib.h"
#include "platform/media/MediaFormats.h"
#include "platform/win/gdi/Gdi.h"
#include "platform/win/message/Messages.h"
#include "platform/win/paint/Paint.h"
#include "platform/win/window/Windows.h"

namespace {

// The windows a renderer has hooked; touched on the windows' thread only.
std::map<HWND, TVideoRenderer*>& HookedVideoWindows() {
    static std::map<HWND, TVideoRenderer*> windows;
    return windows;
}

UINT VideoRepaintMessage() {
    static const UINT message = RegisterWindowMessageW(u"OstrelVideoRendererRepaint");
    return message;
}

int CeilHalf(int value) { return (value + 1) / 2; }

} // namespace

// One libswscale context kept between pictures of the same geometry.
class TVideoRenderer::TScaler {
public:
    ~TScaler() {
        if (context_) avlib::sws_freeContext(context_);
    }
    void Scale(const TSourcePicture& source, TPicture& target) {
        const AVPixelFormat format = source.yv12 ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_BGR0;
        context_ = avlib::sws_getCachedContext(context_, source.width, source.height, format, target.width,
                                               target.height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr,
                                               nullptr);
        if (!context_) return;
        const uint8_t* planes[4] = {};
        int strides[4] = {};
        const BYTE* base = source.bytes.data();
        if (source.yv12) {
            // Y, then V, then U, each chroma plane half the stride and half the rows.
            const size_t lumaSize = size_t(source.width) * source.height;
            const size_t chromaSize = size_t(CeilHalf(source.width)) * CeilHalf(source.height);
            planes[0] = base;
            planes[2] = base + lumaSize;
            planes[1] = base + lumaSize + chromaSize;
            strides[0] = source.width;
            strides[1] = strides[2] = CeilHalf(source.width);
        } else {
            planes[0] = base;
            strides[0] = source.width * 4;
        }
        uint8_t* out[4] = {reinterpret_cast<uint8_t*>(target.pixels.data())};
        const int outStrides[4] = {target.width * 4};
        avlib::sws_scale(context_, planes, strides, 0, source.height, out, outStrides);
    }

private:
    SwsContext* context_ = nullptr;
};

TVideoRenderer::TVideoRenderer()
    : TBCBaseRenderer(u"Video Renderer", CLSID_VideoRenderer),
      streamScaler_(std::make_unique<TScaler>()),
      paintScaler_(std::make_unique<TScaler>()) {
    LoadAVLib();
}

TVideoRenderer::~TVideoRenderer() {
    Unhook();
    FreeFrameBitmap();
}

HRESULT TVideoRenderer::CheckMediaType(const AM_MEDIA_TYPE& type) {
    if (type.majortype != MEDIATYPE_Video) return E_INVALIDARG;
    if (type.subtype != MEDIASUBTYPE_YV12 && type.subtype != MEDIASUBTYPE_RGB32) return E_INVALIDARG;
    const VIDEOINFO* info = VideoInfoOf(type);
    if (!info || info->bmiHeader.biWidth <= 0 || info->bmiHeader.biHeight == 0) return E_INVALIDARG;
    return S_OK;
}

HRESULT TVideoRenderer::SetMediaType(const AM_MEDIA_TYPE& type) {
    const BITMAPINFOHEADER& header = VideoInfoOf(type)->bmiHeader;
    const int height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    bool changed;
    {
        std::lock_guard lock(frameMutex_);
        changed = formatWidth_ != 0 && (formatWidth_ != header.biWidth || formatHeight_ != height);
        formatWidth_ = header.biWidth;
        formatHeight_ = height;
        formatYv12_ = type.subtype == MEDIASUBTYPE_YV12;
    }
    if (changed) NotifyEvent(EC_VIDEO_SIZE_CHANGED, MAKELPARAM(header.biWidth, height), 0);
    return S_OK;
}

RECT TVideoRenderer::PictureRect(const RECT& destination, int width, int height, bool keepAspect) {
    const int destW = destination.right - destination.left, destH = destination.bottom - destination.top;
    if (!keepAspect || width <= 0 || height <= 0) return destination;
    // The largest rectangle of the picture's aspect that fits, centred.
    int w = destW, h = int((int64_t(destW) * height + width / 2) / width);
    if (h > destH) {
        h = destH;
        w = int((int64_t(destH) * width + height / 2) / height);
    }
    const int left = destination.left + (destW - w) / 2, top = destination.top + (destH - h) / 2;
    return RECT{left, top, left + w, top + h};
}

void TVideoRenderer::DoRenderSample(IMediaSample* sample) {
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::shared_ptr<TSourcePicture> source;
    std::shared_ptr<TPicture> picture;
    RECT destination;
    bool keepAspect;
    {
        std::lock_guard lock(frameMutex_);
        source = spareKept_ && spareKept_.use_count() == 1 ? std::move(spareKept_) : std::make_shared<TSourcePicture>();
        picture = sparePicture_ && sparePicture_.use_count() == 1 ? std::move(sparePicture_) : std::make_shared<TPicture>();
        source->yv12 = formatYv12_;
        source->width = formatWidth_;
        source->height = formatHeight_;
        destination = destination_;
        keepAspect = keepAspect_;
    }
    const size_t size = source->yv12 ? size_t(source->width) * source->height +
                                           2 * size_t(CeilHalf(source->width)) * CeilHalf(source->height)
                                     : size_t(source->width) * source->height * 4;
    if (!data || size_t(sample->GetActualDataLength()) < size) return;
    source->bytes.resize(size);
    std::memcpy(source->bytes.data(), data, size);
    const RECT target = PictureRect(destination, source->width, source->height, keepAspect);
    picture->width = std::max(0, int(target.right - target.left));
    picture->height = std::max(0, int(target.bottom - target.top));
    picture->pixels.resize(size_t(picture->width) * picture->height);
    if (!picture->pixels.empty()) streamScaler_->Scale(*source, *picture);
    {
        std::lock_guard lock(frameMutex_);
        spareKept_ = std::exchange(kept_, std::move(source));
        sparePicture_ = std::exchange(picture_, std::move(picture));
    }
    const HWND window = window_;
    if (window && !invalidatePending_.exchange(true)) PostMessageW(window, VideoRepaintMessage(), 0, 0);
}

void TVideoRenderer::SetWindow(HWND window) {
    Unhook();
    window_ = window;
    if (!window) return;
    HookedVideoWindows()[window] = this;
    originalProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TVideoRenderer::HookProc)));
}

void TVideoRenderer::Unhook() {
    const HWND window = window_.exchange(nullptr);
    if (!window) return;
    HookedVideoWindows().erase(window);
    if (IsWindow(window)) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
    originalProc_ = nullptr;
}

void TVideoRenderer::SetDestination(const RECT& destination) {
    {
        std::lock_guard lock(frameMutex_);
        destination_ = destination;
    }
    if (const HWND window = window_) InvalidateRect(window, nullptr, FALSE);
}

void TVideoRenderer::SetVisible(bool visible) {
    {
        std::lock_guard lock(frameMutex_);
        visible_ = visible;
    }
    if (const HWND window = window_) InvalidateRect(window, nullptr, FALSE);
}

void TVideoRenderer::SetKeepAspect(bool keep) {
    {
        std::lock_guard lock(frameMutex_);
        keepAspect_ = keep;
    }
    if (const HWND window = window_) InvalidateRect(window, nullptr, FALSE);
}

void* TVideoRenderer::FrameBits(HDC dc, int width, int height) {
    if (frameBitmap_ && frameSize_.cx == width && frameSize_.cy == height) return frameBits_;
    FreeFrameBitmap();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    frameBitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &frameBits_, nullptr, 0);
    frameSize_ = SIZE{width, height};
    return frameBitmap_ ? frameBits_ : nullptr;
}

void TVideoRenderer::FreeFrameBitmap() {
    if (frameBitmap_) DeleteObject(ToGdiObject(frameBitmap_));
    frameBitmap_ = nullptr;
    frameBits_ = nullptr;
}

void TVideoRenderer::Paint(HDC dc) {
    std::shared_ptr<const TSourcePicture> source;
    std::shared_ptr<const TPicture> picture;
    RECT destination;
    bool keepAspect;
    {
        std::lock_guard lock(frameMutex_);
        if (!visible_) return;
        destination = destination_;
        keepAspect = keepAspect_;
        picture = picture_;
        source = kept_;
    }
    const RECT target =
        source ? PictureRect(destination, source->width, source->height, keepAspect) : destination;
    const int w = target.right - target.left, h = target.bottom - target.top;
    // A resize or aspect change redraws from the kept picture.
    if (source && picture && (picture->width != w || picture->height != h) && w > 0 && h > 0) {
        auto scaled = std::make_shared<TPicture>();
        scaled->width = w;
        scaled->height = h;
        scaled->pixels.assign(size_t(w) * h, 0);
        paintScaler_->Scale(*source, *scaled);
        std::lock_guard lock(frameMutex_);
        if (kept_ == source) picture_ = scaled;
        picture = std::move(scaled);
    }
    const HBRUSH black = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const RECT bars[] = {{destination.left, destination.top, destination.right, target.top},
                         {destination.left, target.bottom, destination.right, destination.bottom},
                         {destination.left, target.top, target.left, target.bottom},
                         {target.right, target.top, destination.right, target.bottom}};
    for (const RECT& bar : bars)
        if (bar.right > bar.left && bar.bottom > bar.top) FillRect(dc, &bar, black);
    void* bits = picture && !picture->pixels.empty() ? FrameBits(dc, picture->width, picture->height) : nullptr;
    if (!bits) {
        FillRect(dc, &target, black);
        return;
    }
    std::memcpy(bits, picture->pixels.data(), picture->pixels.size() * 4);
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, ToGdiObject(frameBitmap_));
    BitBlt(dc, target.left, target.top, picture->width, picture->height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

LRESULT TVideoRenderer::HookProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = HookedVideoWindows().find(hwnd);
    if (found == HookedVideoWindows().end()) return DefWindowProcW(hwnd, message, wParam, lParam);
    TVideoRenderer* renderer = found->second;
    if (message == VideoRepaintMessage()) {
        renderer->invalidatePending_ = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    }
    const LRESULT result = CallWindowProcW(renderer->originalProc_, hwnd, message, wParam, lParam);
    if (message == WM_PAINT) {
        const HDC dc = GetDC(hwnd);
        renderer->Paint(dc);
        ReleaseDC(hwnd, dc);
    }
    return result;
}
