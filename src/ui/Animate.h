// ANIMATE_CLASS: plays an AVI clip from a file by itself, on the system's own timing.
// Frames are counted from 1 here, as the layout counts them.
#pragma once

#include "ui/Control.h"

#include <string>

namespace ui {

struct AnimateArgs {
    Bounds bounds;
    int repetitions = 1;
    bool visible = true;
};

class Animate : public WindowedControl {
public:
    void Create(Form& form, const AnimateArgs& args);

    // Opens the clip, drawn for clipDpi: the frame range becomes 1..frame count and the
    // control takes the clip's frame size, keeping its left and top; a clip drawn for
    // another scale than the form's is centred in the control's place. Throws "AVI kann
    // nicht geöffnet werden" when the clip cannot be opened.
    void Open(const std::string& path, int clipDpi = 96);

    int FrameCount() const { return frameCount_; }
    bool Active() const { return active_; }
    // Active plays the frame range as often as the repetitions say; inactive stops.
    void SetActive(bool active);
    // Plays frames from..to (1-based) count times, replacing what plays now.
    void Play(int from, int to, int count);
    // Stops and shows the first frame of the range.
    void Stop();

    void Rescale(const Form& form) override;
    // Opens another clip through open, and plays it as the last play request asked when
    // one was under way.
    void Reopen(const std::function<void()>& open);

private:
    // The clip's frame at its place: see Open.
    void PlaceFrame(const Form& form);

    Form* form_ = nullptr;
    int clipDpi_ = 96;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    int repetitions_ = 1;
    int startFrame_ = 1;
    int stopFrame_ = 1;
    int frameCount_ = 0;
    bool active_ = false;
    int playFrom_ = 1;
    int playTo_ = 1;
    int playCount_ = 1;
};

}  // namespace ui
