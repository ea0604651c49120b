#include "ui/Graphic.h"

#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ui/Text.h"
#include "win/UserText.h"

#include <algorithm>

namespace ui {

void GraphicControl::Attach(Form& form, const Bounds& bounds, bool visible)
{
    form_ = &form;
    bounds_ = bounds;
    visible_ = visible;
    form.Register(*this);
}

void GraphicControl::SetVisible(bool visible)
{
    if (visible_ == visible)
        return;
    visible_ = visible;
    if (form_)
        form_->GraphicChanged(*this);
    Invalidate();
}

void GraphicControl::Invalidate()
{
    if (form_ && form_->Handle()) {
        const RECT rect = bounds_.Rect();
        InvalidateRect(form_->Handle(), &rect, FALSE);
    }
}

void ImageView::Create(Form& form, const ImageArgs& args)
{
    Attach(form, args.bounds, args.visible);
    // The window's outline is cut from exactly these bytes.
    if (args.pictureId)
        picture_ = LoadBitmapResource(args.pictureId);
}

void ImageView::SetPicture(win::Bitmap picture)
{
    picture_ = std::move(picture);
    list_ = nullptr;
    Invalidate();
}

void ImageView::ShowListPicture(const ImageList& list, int index)
{
    picture_.reset();
    list_ = &list;
    listIndex_ = index;
    Invalidate();
}

void ImageView::Paint(HDC dc)
{
    if (list_) {
        list_->Paint(listIndex_, dc, bounds_.left, bounds_.top, std::min(list_->Width(), bounds_.width),
                     std::min(list_->Height(), bounds_.height));
        return;
    }
    if (!picture_)
        return;
    BITMAP info;
    if (!GetObjectA(picture_.get(), sizeof(info), &info))
        return;
    win::MemoryDc source(CreateCompatibleDC(dc));
    win::SelectGuard keep(source.get(), picture_.get());
    const int width = std::min<int>(info.bmWidth, bounds_.width);
    const int height = std::min<int>(info.bmHeight, bounds_.height);
    BitBlt(dc, bounds_.left, bounds_.top, width, height, source.get(), 0, 0, SRCCOPY);
}

void Label::Create(Form& form, const LabelArgs& args)
{
    Attach(form, args.bounds, true);
    text_ = args.text;
    wideText_ = win::FromWindows1252(text_);
    color_ = args.color;
    handCursor_ = args.handCursor;
    hint_ = args.hint;
    if (args.bold) {
        // The text is Windows-1252: its font must hold Western letters, also where the
        // system's own character set (Shift-JIS) would choose one without them.
        font_ = LayoutFont(FW_BOLD, ANSI_CHARSET);
    }
}

HFONT Label::DrawingFont() const
{
    return font_ ? font_.get() : form_->FormFont();
}

void Label::SetColor(COLORREF color)
{
    if (color_ == color)
        return;
    color_ = color;
    Invalidate();
}

// Laid out as DrawText's word break and centring would do, but by the width the font
// really draws (ui/Text.h), so no line loses its end at the label's edge.
const std::vector<Label::Line>& Label::LaidOut(HDC dc, HFONT font)
{
    // A memory DC reports the screen's depth; the bitmap selected into it has its own.
    BITMAP selected{};
    int bitsPerPixel =
        GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof(selected), &selected) ? selected.bmBitsPixel : 0;
    if (bitsPerPixel <= 1)
        bitsPerPixel = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    if (!lines_.empty() && linesBitsPerPixel_ == bitsPerPixel)
        return lines_;
    lines_.clear();
    linesBitsPerPixel_ = bitsPerPixel;
    auto addLine = [&](std::wstring_view line) {
        lines_.push_back({line, bounds_.left + (bounds_.width - DrawnTextWidth(dc, font, line)) / 2});
    };
    // A line takes the next word while it still fits as drawn.
    const std::wstring_view text = wideText_;
    size_t start = 0;
    for (size_t space = text.find(L' '); space != std::wstring_view::npos; space = text.find(L' ', space + 1)) {
        const size_t next = text.find(L' ', space + 1);
        if (DrawnTextWidth(dc, font, text.substr(start, next - start)) > bounds_.width) {
            addLine(text.substr(start, space - start));
            start = space + 1;
        }
    }
    addLine(text.substr(start));
    return lines_;
}

void Label::Paint(HDC dc)
{
    if (wideText_.empty())
        return;
    HFONT font = DrawingFont();
    win::SelectGuard keepFont(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, color_);
    const RECT rect = bounds_.Rect();
    int top = bounds_.top;
    for (const Line& line : LaidOut(dc, font)) {
        ExtTextOutW(dc, line.left, top, ETO_CLIPPED, &rect, line.text.data(), static_cast<UINT>(line.text.size()),
                    nullptr);
        top += metrics.tmHeight;
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

}  // namespace ui
