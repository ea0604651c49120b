// Controls without a window of their own: the form paints them in creation order (later
// over earlier) and hands them the mouse when they are the topmost visible one under it.
#pragma once

#include "ui/Control.h"
#include "win/Handles.h"

#include <string>
#include <string_view>
#include <vector>

namespace ui {

enum class MouseButton { Left, Right, Middle };

class ImageList;

class GraphicControl : public Control {
public:
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // Tooltip text; empty for none.
    const std::string& Hint() const { return hint_; }
    bool HandCursor() const { return handCursor_; }

    virtual void Paint(HDC dc) = 0;

    Event OnClick;
    Event OnMouseEnter;
    Event OnMouseLeave;
    std::function<void(MouseButton, POINT)> OnMouseDown;

protected:
    void Attach(Form& form, const Bounds& bounds, bool visible);
    void Invalidate();
    Form* form_ = nullptr;
    bool handCursor_ = false;
    std::string hint_;

private:
    bool visible_ = true;
};

struct ImageArgs {
    Bounds bounds;
    int pictureId = 0;  // bitmap resource shown from the top-left corner; 0 for none
    bool visible = true;
    // The window's outline is cut from the picture's key colour (its top-left pixel's),
    // which an enlarged copy never mixes with the other colours.
    bool keyed = false;
};

// An image view: shows its own copy of a bitmap, or a picture of an image list, unscaled
// from its top-left corner.
class ImageView : public GraphicControl {
public:
    void Create(Form& form, const ImageArgs& args);

    // The view's own bitmap as shown; none while it shows an image list's picture. A
    // stored picture is shown enlarged to the form's scale.
    HBITMAP Picture() const { return picture_ ? picture_.get() : stored_.get(); }
    // Takes the bitmap over; an empty owner empties the picture.
    void SetPicture(win::Bitmap picture);
    void Clear() { SetPicture(nullptr); }
    // Shows picture index of the list, drawn from the list's own strip at every paint,
    // so switching pictures (a button lighting up) copies and allocates nothing.
    void ShowListPicture(const ImageList& list, int index);

    void Paint(HDC dc) override;
    void Rescale(const Form& form) override;

private:
    win::Bitmap stored_;
    bool keyed_ = false;
    win::Bitmap picture_;
    const ImageList* list_ = nullptr;
    int listIndex_ = 0;
};

struct LabelArgs {
    Bounds bounds;
    std::string text;
    bool bold = false;
    COLORREF color = RGB(0, 0, 0);
    bool handCursor = false;
    std::string hint;
    std::string name;  // for screen readers, where the text does not say it
};

// A transparent text label: word-wrapped, centred, ampersands shown as typed. Without
// text it is an invisible hit area.
class Label : public GraphicControl {
public:
    void Create(Form& form, const LabelArgs& args);

    const std::string& Text() const { return text_; }
    HFONT DrawingFont() const;
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);

    void Paint(HDC dc) override;
    void Rescale(const Form& form) override;

private:
    std::string text_;
    // As the screen gets it: the text's code page need not be the system's.
    std::wstring wideText_;
    COLORREF color_ = 0;
    bool bold_ = false;
    win::Font font_;
};

}  // namespace ui
