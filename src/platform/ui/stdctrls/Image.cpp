#include "platform/ui/stdctrls/Image.h"

#include "platform/ui/graphics/Icon.h"

RTL_PUBLISHED(TImage, c) {
    c.Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
    c.Property("Center", &TImage::Center, &TImage::SetCenter).Default(false);
    c.Property("Picture", &TImage::Picture, &TImage::SetPicture);
    c.Property("Proportional", &TImage::Proportional, &TImage::SetProportional).Default(false);
    c.Property("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
    c.Property("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
    c.Property("OnMouseDown", &TImage::OnMouseDown, &TImage::OnMouseDown);
    c.Property("OnMouseMove", &TImage::OnMouseMove, &TImage::OnMouseMove);
    c.Property("OnMouseUp", &TImage::OnMouseUp, &TImage::OnMouseUp);
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
    SetControlStyle(ControlStyle() + TControlStyle{csReplicatable});
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::Set(bool& field, bool value) {
    if (field == value) return;
    field = value;
    PictureChanged();
}

TRect TImage::DestRect() {
    int w = picture_->Width(), h = picture_->Height();
    const TRect client = ClientRect();
    const int cw = client.Width(), ch = client.Height();
    if (stretch_ || (proportional_ && (w > cw || h > ch))) {
        if (proportional_ && w > 0 && h > 0) {
            // Fit the longer side first, then the other if it still sticks out.
            const double aspect = double(w) / h;
            if (w > h) {
                w = cw;
                h = int(cw / aspect);
                if (h > ch) h = ch, w = int(ch * aspect);
            } else {
                h = ch;
                w = int(ch * aspect);
                if (w > cw) w = cw, h = int(cw / aspect);
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    TRect r{0, 0, w, h};
    if (center_) {
        const int dx = (cw - w) / 2, dy = (ch - h) / 2;
        r = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
    }
    return r;
}

void TImage::Paint() { Canvas()->StretchDraw(DestRect(), picture_->Graphic()); }

bool TImage::CanAutoSize(int& newWidth, int& newHeight) {
    if (picture_->Width() <= 0 || picture_->Height() <= 0) return false;
    newWidth = picture_->Width();
    newHeight = picture_->Height();
    return true;
}

void TImage::PictureChanged() {
    if (AutoSize()) AdjustSize();
    TGraphic* graphic = picture_->Graphic();
    bool opaque = false;
    if (graphic) {
        if (!dynamic_cast<TIcon*>(graphic)) graphic->SetTransparent(transparent_);
        const TRect d = DestRect();
        opaque = !graphic->Transparent() && d.Left <= 0 && d.Top <= 0 && d.Right >= Width() && d.Bottom >= Height();
    }
    SetControlStyle(opaque ? ControlStyle() + TControlStyle{csOpaque} : ControlStyle() - TControlStyle{csOpaque});
    Invalidate();
}
