#include "ui/Graphic.h"

#include "ui/Form.h"
#include "ui/ImageList.h"
#include "ui/Text.h"
#include "win/UserText.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace ui {

void GraphicControl::Attach(Form& form, const Bounds& bounds, bool visible)
{
    form_ = &form;
    Place(form, bounds);
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
    // At 96 dpi the window's outline is cut from exactly these bytes.
    keyed_ = args.keyed;
    if (args.pictureId) {
        stored_ = LoadBitmapResource(args.pictureId);
        Rescale(form);
    }
}

void ImageView::Rescale(const Form& form)
{
    GraphicControl::Rescale(form);
    BITMAP info{};
    if (!stored_ || !GetObjectA(stored_.get(), sizeof(info), &info))
        return;
    // The picture covers at this scale what it covers in the layout.
    const Bounds covered = form.Scaled({design_.left, design_.top, info.bmWidth, info.bmHeight});
    if (covered.width == info.bmWidth && covered.height == info.bmHeight)
        picture_.reset();
    else
        picture_ = EnlargedBitmap(stored_.get(), covered.width, covered.height, keyed_);
}

void ImageView::SetPicture(win::Bitmap picture)
{
    stored_.reset();
    picture_ = std::move(picture);
    list_ = nullptr;
    Invalidate();
}

void ImageView::ShowListPicture(const ImageList& list, int index)
{
    stored_.reset();
    picture_.reset();
    list_ = &list;
    listIndex_ = index;
    Invalidate();
}

void ImageView::Paint(HDC dc)
{
    if (list_) {
        list_->Paint(listIndex_, dc, bounds_.left, bounds_.top, std::min(list_->ShownWidth(), bounds_.width),
                     std::min(list_->ShownHeight(), bounds_.height));
        return;
    }
    BITMAP info;
    if (!Picture() || !GetObjectA(Picture(), sizeof(info), &info))
        return;
    win::MemoryDc source(CreateCompatibleDC(dc));
    win::SelectGuard keep(source.get(), Picture());
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
    accessibleName_ = args.name.empty() ? args.text : args.name;
    bold_ = args.bold;
    Rescale(form);
}

void Label::Rescale(const Form& form)
{
    GraphicControl::Rescale(form);
    // The text is Windows-1252: its font must hold Western letters, also where the
    // system's own character set (Shift-JIS) would choose one without them.
    if (bold_)
        font_ = LayoutFont(FW_BOLD, ANSI_CHARSET, form.Scaled(kLayoutFontHeight));
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

void Label::Paint(HDC dc)
{
    if (wideText_.empty())
        return;
    win::SelectGuard keepFont(dc, DrawingFont());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = SetTextColor(dc, color_);
    const RECT rect = bounds_.Rect();
    // Lines break at spaces, as DrawText's word break does, and every character stands
    // where the font's reported widths put it: Wine draws small fonts on wider hinted
    // advances, which would push a line's end past the label's edge.
    std::vector<int> ends(wideText_.size());
    int top = bounds_.top;
    for (std::wstring_view rest = wideText_; !rest.empty(); top += metrics.tmHeight) {
        int fit = 0;
        SIZE extent{};
        GetTextExtentExPointW(dc, rest.data(), static_cast<int>(rest.size()), bounds_.width, &fit, ends.data(),
                              &extent);
        size_t length = rest.size();
        if (static_cast<size_t>(fit) < length) {
            const size_t space = rest.rfind(L' ', static_cast<size_t>(fit));
            length = space != std::wstring_view::npos && space > 0 ? space : std::min(rest.find(L' '), length);
        }
        std::vector<int> advances(length);
        for (size_t i = 0; i < length; ++i)
            advances[i] = ends[i] - (i ? ends[i - 1] : 0);
        ExtTextOutW(dc, bounds_.left + (bounds_.width - (length ? ends[length - 1] : 0)) / 2, top, ETO_CLIPPED, &rect,
                    rest.data(), static_cast<UINT>(length), advances.data());
        rest.remove_prefix(std::min(length + 1, rest.size()));
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

}  // namespace ui
