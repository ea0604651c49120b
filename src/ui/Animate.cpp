#include "ui/Animate.h"

#include "core/AviHeader.h"
#include "core/Error.h"
#include "core/Texts.h"
#include "ui/Form.h"
#include "win/Files.h"

#include <commctrl.h>

#include <optional>
#include <span>

namespace ui {

void Animate::Create(Form& form, const AnimateArgs& args)
{
    form_ = &form;
    repetitions_ = args.repetitions;
    // ACS_CENTER keeps the control from sizing itself; Open sizes it from the header.
    CreateWindowed(form, ANIMATE_CLASSW, (args.visible ? WS_VISIBLE : 0) | ACS_CENTER, 0, args.bounds);
}

void Animate::Open(const std::string& path, int clipDpi)
{
    Stop();
    // The control opens the clip while the header's read still holds it, so that no
    // program can come between and hold it unshared; the read itself was retried.
    std::optional<veld::AviHeader> header;
    if (!win::ReadFileStart(path, 128, [&](std::span<const uint8_t> head) {
            header = veld::ReadAviHeader(head);
            return header && header->frames > 0 &&
                   SendMessageA(Handle(), ACM_OPENA, 0, reinterpret_cast<LPARAM>(path.c_str()));
        }))
        throw veld::Error(veld::texts::kCannotOpenClip);

    frameCount_ = static_cast<int>(header->frames);
    startFrame_ = 1;
    stopFrame_ = frameCount_;
    active_ = false;
    clipDpi_ = clipDpi;
    frameWidth_ = static_cast<int>(header->width);
    frameHeight_ = static_cast<int>(header->height);
    PlaceFrame(*form_);
}

void Animate::Rescale(const Form& form)
{
    WindowedControl::Rescale(form);
    if (frameCount_ > 0)
        PlaceFrame(form);
}

void Animate::PlaceFrame(const Form& form)
{
    bounds_ = form.Scaled(design_);
    if (clipDpi_ != form.Dpi()) {
        bounds_.left += (bounds_.width - frameWidth_) / 2;
        bounds_.top += (bounds_.height - frameHeight_) / 2;
    }
    bounds_.width = frameWidth_;
    bounds_.height = frameHeight_;
    SetWindowPos(Handle(), nullptr, bounds_.left, bounds_.top, bounds_.width, bounds_.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Animate::SetActive(bool active)
{
    if (active)
        Play(startFrame_, stopFrame_, repetitions_);
    else
        Stop();
}

void Animate::Play(int from, int to, int count)
{
    // A play request while the clip plays is ignored: stop first.
    SendMessageA(Handle(), ACM_STOP, 0, 0);
    SendMessageA(Handle(), ACM_PLAY, static_cast<WPARAM>(count), MAKELONG(from - 1, to - 1));
    active_ = true;
    playFrom_ = from;
    playTo_ = to;
    playCount_ = count;
}

void Animate::Reopen(const std::function<void()>& open)
{
    const bool playing = active_;
    open();
    if (playing)
        Play(playFrom_, playTo_, playCount_);
}

void Animate::Stop()
{
    SendMessageA(Handle(), ACM_STOP, 0, 0);
    if (frameCount_ > 0)
        SendMessageA(Handle(), ACM_PLAY, 1, MAKELONG(startFrame_ - 1, startFrame_ - 1));
    active_ = false;
}

}  // namespace ui
